#include "script_api/TaskbarPin.h"

#include <windows.h>
#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>

#include "app/Handles.h"

namespace {

// shell32.dll strings naming the pin and unpin verbs of the taskbar.
constexpr UINT kPinVerbText = 5386;
constexpr UINT kUnpinVerbText = 5387;

constexpr CLSID kShellWindowsClass = {
    0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr IID kShellWindowsIid = {
    0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kWebBrowserAppIid = {
    0x0002DF05, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kServiceProviderIid = {
    0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID kTopLevelBrowserService = {
    0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr IID kShellBrowserIid = {
    0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kDispatchIid = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kFolderViewDualIid = {
    0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kShellDispatchIid = {
    0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

constexpr CLSID kTaskbandPinClass = {
    0x90AA3A4E, 0x1CBA, 0x4233, {0xB8, 0xBB, 0x53, 0x57, 0x73, 0xD4, 0x84, 0x49}};
constexpr IID kPinnedListIid = {
    0x0DD79AE2, 0xD156, 0x45D4, {0x9E, 0xEB, 0x3B, 0x54, 0x97, 0x69, 0xE9, 0x40}};

// The taskbar's pinned list from Windows 10 on. Undocumented: only the two
// operations used here are typed; the slots before them keep their places.
struct IPinnedList : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumObjects() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPinnableInfo() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsPinnable() = 0;
    virtual HRESULT STDMETHODCALLTYPE Resolve() = 0;
    virtual HRESULT STDMETHODCALLTYPE LegacyModify() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChangeCount() = 0;
    virtual HRESULT STDMETHODCALLTYPE IsPinned(PCIDLIST_ABSOLUTE item) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPinnedItem() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAppIDForPinnedItem() = 0;
    virtual HRESULT STDMETHODCALLTYPE ItemChangeNotify() = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateForRemovedItemsAsNecessary() = 0;
    virtual HRESULT STDMETHODCALLTYPE PinShellLink() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPinnedItemForAppID() = 0;
    virtual HRESULT STDMETHODCALLTYPE Modify(PCIDLIST_ABSOLUTE unpin, PCIDLIST_ABSOLUTE pin,
                                             int caller) = 0;
};
constexpr int kModifiedByExplorer = 4;

DWORD WindowsMajorVersion() {
    using VersionFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto fn = ntdll ? reinterpret_cast<VersionFn>(reinterpret_cast<void*>(
                          ::GetProcAddress(ntdll, "RtlGetNtVersionNumbers")))
                    : nullptr;
    DWORD major = 0, minor = 0, build = 0;
    if (fn) fn(&major, &minor, &build);
    return major;
}

class ScopedBstr {
  public:
    explicit ScopedBstr(const wchar_t* text) : s_(::SysAllocString(text)) {}
    ScopedBstr() = default;
    ~ScopedBstr() { ::SysFreeString(s_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const { return s_; }
    BSTR* put() {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }

  private:
    BSTR s_ = nullptr;
};

class ItemList {
  public:
    explicit ItemList(const std::wstring& path) : list_(::ILCreateFromPathW(path.c_str())) {}
    ~ItemList() {
        if (list_) ::ILFree(list_);
    }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    PCIDLIST_ABSOLUTE get() const { return list_; }

  private:
    PIDLIST_ABSOLUTE list_;
};

// The display text of a shell32.dll string; empty when there is none.
std::wstring ShellText(UINT id) {
    UniqueModule shell32(::LoadLibraryW(L"shell32.dll"));
    if (!shell32) return {};
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(shell32.get(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

// The shell dispatch object of the desktop's own folder view, so that verbs
// run inside the desktop shell's process.
ComPtr<IShellDispatch> DesktopShellDispatch() {
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(kShellWindowsClass, nullptr, CLSCTX_ALL, kShellWindowsIid,
                                  windows.put_void()))) {
        return {};
    }
    VARIANT location = {};
    location.vt = VT_I4;
    location.lVal = 0;
    VARIANT root = location;
    LONG hwnd = 0;
    ComPtr<IDispatch> desktop;
    if (FAILED(windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                                     desktop.put())) ||
        !desktop) {
        return {};
    }
    auto browserApp = desktop.As<IWebBrowserApp>(kWebBrowserAppIid);
    auto services = browserApp.As<IServiceProvider>(kServiceProviderIid);
    if (!services) return {};
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(kTopLevelBrowserService, kShellBrowserIid,
                                      browser.put_void())) ||
        !browser) {
        return {};
    }
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.put())) || !view) return {};
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, kDispatchIid, background.put_void())) ||
        !background) {
        return {};
    }
    auto folderView = background.As<IShellFolderViewDual>(kFolderViewDualIid);
    if (!folderView) return {};
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.put())) || !application) return {};
    return application.As<IShellDispatch>(kShellDispatchIid);
}

ComPtr<FolderItemVerbs> VerbsOf(IShellDispatch* shell, const std::wstring& folder,
                                const std::wstring& fileName) {
    VARIANT dir = {};
    dir.vt = VT_BSTR;
    ScopedBstr dirText(folder.c_str());
    dir.bstrVal = dirText.get();
    ComPtr<Folder> folderObject;
    if (FAILED(shell->NameSpace(dir, folderObject.put())) || !folderObject) return {};
    ScopedBstr name(fileName.c_str());
    ComPtr<FolderItem> item;
    if (FAILED(folderObject->ParseName(name.get(), item.put())) || !item) return {};
    ComPtr<FolderItemVerbs> verbs;
    if (FAILED(item->Verbs(verbs.put()))) return {};
    return verbs;
}

// Runs the first verb whose name equals `text` unit for unit ("&" included).
bool RunMatchingVerb(FolderItemVerbs* verbs, const std::wstring& text) {
    long count = 0;
    if (FAILED(verbs->get_Count(&count))) return false;
    for (long i = 0; i < count; ++i) {
        VARIANT index = {};
        index.vt = VT_I4;
        index.lVal = i;
        ComPtr<FolderItemVerb> verb;
        if (FAILED(verbs->Item(index, verb.put())) || !verb) continue;
        ScopedBstr name;
        if (FAILED(verb->get_Name(name.put())) || !name.get()) continue;
        if (::SysStringLen(name.get()) == text.size() &&
            std::wmemcmp(name.get(), text.data(), text.size()) == 0) {
            verb->DoIt();
            return true;
        }
    }
    return false;
}

PinStep ShellVerb(UINT verbStringId, const std::wstring& file) {
    if (file.empty() || !::PathFileExistsW(file.c_str())) return PinStep::NoFile;
    const size_t slash = file.rfind(L'\\');
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
    const std::wstring fileName = slash == std::wstring::npos ? file : file.substr(slash + 1);
    const std::wstring text = ShellText(verbStringId);
    if (text.empty()) return PinStep::NoVerbText;
    ComApartment com;
    ComPtr<IShellDispatch> shell = DesktopShellDispatch();
    if (!shell) return PinStep::NoDesktopShell;
    ComPtr<FolderItemVerbs> verbs = VerbsOf(shell.get(), folder, fileName);
    if (!verbs) return PinStep::NoShellItem;
    if (!RunMatchingVerb(verbs.get(), text)) return PinStep::NoMatchingVerb;
    return PinStep::VerbInvoked;
}

PinStep PinnedListChange(bool pin, const std::wstring& shortcutFile) {
    ComApartment com;
    ItemList item(shortcutFile);
    if (!item.get()) return PinStep::NoItemList;
    ComPtr<IPinnedList> list;
    if (FAILED(::CoCreateInstance(kTaskbandPinClass, nullptr, CLSCTX_ALL, kPinnedListIid,
                                  list.put_void())) ||
        !list) {
        return PinStep::NoPinObject;
    }
    const bool pinned = list->IsPinned(item.get()) != S_FALSE;
    if (pin == pinned) return PinStep::AlreadyDone;
    if (pin) {
        list->Modify(nullptr, item.get(), kModifiedByExplorer);
    } else {
        list->Modify(item.get(), nullptr, kModifiedByExplorer);
    }
    return PinStep::Modified;
}

}  // namespace

const char* PinRouteName(PinRoute route) {
    return route == PinRoute::ShellVerb ? "shell verb" : "taskband pin object";
}

const char* PinStepName(PinStep step) {
    switch (step) {
        case PinStep::NoFile:
            return "no file";
        case PinStep::NoVerbText:
            return "no verb text";
        case PinStep::NoDesktopShell:
            return "no desktop shell view";
        case PinStep::NoShellItem:
            return "no shell item";
        case PinStep::NoMatchingVerb:
            return "no matching verb";
        case PinStep::VerbInvoked:
            return "verb invoked";
        case PinStep::NoItemList:
            return "no item list";
        case PinStep::NoPinObject:
            return "no pin object";
        case PinStep::AlreadyDone:
            return "already in that state";
        case PinStep::Modified:
            return "modified";
    }
    return "?";
}

PinRoute TaskbarPinRoute() {
    return WindowsMajorVersion() < 10 ? PinRoute::ShellVerb : PinRoute::TaskbandPin;
}

bool InvokeShellVerb(UINT verbStringId, const std::wstring& file, PinStep* step) {
    const PinStep result = ShellVerb(verbStringId, file);
    if (step) *step = result;
    return result == PinStep::NoFile || result == PinStep::VerbInvoked;
}

bool SetTaskbarPin(bool pin, const std::wstring& shortcutFile, PinTrace* trace) {
    PinTrace local;
    PinTrace& t = trace ? *trace : local;
    t.route = TaskbarPinRoute();
    if (t.route == PinRoute::ShellVerb) {
        const bool ok = InvokeShellVerb(pin ? kPinVerbText : kUnpinVerbText, shortcutFile, &t.step);
        if (ok && !pin) ::DeleteFileW(shortcutFile.c_str());
        return ok;
    }
    t.step = PinnedListChange(pin, shortcutFile);
    const bool reachedList = t.step == PinStep::AlreadyDone || t.step == PinStep::Modified;
    if (reachedList && !pin) ::DeleteFileW(shortcutFile.c_str());
    return true;
}
