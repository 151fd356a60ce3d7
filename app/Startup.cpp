#include "app/Startup.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <winsock2.h>

#include "app/OwnResource.h"
#include "app/ScriptRunner.h"
#include "app/SetupApp.h"
#include "app/TaskWindow.h"
#include "package/PackageIndex.h"
#include "ui/ControlFactory.h"
#include "ui/GdiplusHeaders.h"
#include "ui/UIResoureMgr.h"

namespace {

constexpr int kSkinResourceId = 130;

void InitPlatform() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    ::InitCommonControls();
    ::CoInitialize(nullptr);
    ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                           RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

void StartImaging() {
    // Never shut down: the process ends with the script.
    static ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

// The skin package is used in place for the life of the process.
void OpenSkinPackage() {
    const ResourceBytes skin = LoadOwnResource(kSkinResourceId, L"PAK");
    if (!skin.data) return;  // windows then show without layout
    SkinPackage().BuildIndex(skin.data, skin.size);
}

void StartSockets() {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
}

}  // namespace

NtVersion QueryNtVersion() {
    NtVersion v;
    HMODULE ntdll = ::LoadLibraryW(L"ntdll.dll");
    if (!ntdll) return v;
    using Fn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(ntdll, "RtlGetNtVersionNumbers"));
    if (fn) {
        DWORD major = 0, minor = 0, build = 0;
        fn(&major, &minor, &build);
        v.major = major;
        v.minor = minor;
        v.build = build & 0xFFFF;
    }
    ::FreeLibrary(ntdll);
    return v;
}

bool IsSupportedSystem(const NtVersion& v) { return v.major > 5; }

int RunInstaller() {
    InitPlatform();
    if (!IsSupportedSystem(QueryNtVersion())) {
        ::MessageBoxW(nullptr, L"该软件不支持 Windows XP ", L"错误", MB_OK);
        return 0;
    }
    StartImaging();
    CreateTaskWindow();
    SetResLoader(&UIResoureMgr::Instance());
    OpenSkinPackage();
    RegisterControlFactory();
    StartSockets();
    TheScriptRunner().Run();
    return TheSetupApp().ExitCode();
}
