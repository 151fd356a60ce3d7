// The registry host functions, driven through the installer's own script
// state against the test prefix's registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "support/ScriptTest.h"
#include "support/TestProcess.h"

namespace {

struct StoredValue {
    bool found = false;
    DWORD type = 0;
    std::wstring text;
    DWORD number = 0;
};

StoredValue ReadNative(HKEY root, const std::wstring& subkey, const std::wstring& name,
                       REGSAM view = KEY_WOW64_64KEY) {
    StoredValue v;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return v;
    }
    BYTE data[2048] = {};
    DWORD size = sizeof(data) - 2;
    v.found = ::RegQueryValueExW(key, name.c_str(), nullptr, &v.type, data, &size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    if (v.type == REG_SZ) v.text = reinterpret_cast<const wchar_t*>(data);
    if (v.type == REG_DWORD) std::memcpy(&v.number, data, sizeof(v.number));
    return v;
}

bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::wstring& subkey, REGSAM view) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << Narrow(subkey);
    ::RegCloseKey(key);
}

void SetRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type,
            const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
}

// Makes root\subkey a registry link to `target` (a kernel path).
bool MakeRegistryLink(HKEY root, const std::wstring& subkey, const std::wstring& target) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(
            root, subkey.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
            KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG set = ::RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK,
                                      reinterpret_cast<const BYTE*>(target.data()),
                                      static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

class RegistryFunctionsTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        static int counter = 0;
        const std::wstring unique =
            std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        base_ = L"Software\\skinsetup-tests\\" + unique;
        machine_ = L"SOFTWARE\\skinsetup-tests\\" + unique;
    }
    void TearDown() override {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            DeleteTree(HKEY_CURRENT_USER, base_, view);
            DeleteTree(HKEY_LOCAL_MACHINE, machine_, view);
        }
        ScriptTest::TearDown();
    }
    static void DeleteTree(HKEY root, const std::wstring& subkey, REGSAM view) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS | view, &key) ==
            ERROR_SUCCESS) {
            ::RegDeleteTreeW(key, nullptr);
            ::RegCloseKey(key);
            ::RegDeleteKeyExW(root, subkey.c_str(), view, 0);
        }
    }
    // Lua text for the user's test key and the machine's test key.
    std::string User() const { return LuaQuote(Narrow(base_)); }
    std::string Machine() const { return LuaQuote(Narrow(machine_)); }

    std::wstring base_;
    std::wstring machine_;
};

TEST_F(RegistryFunctionsTest, EveryFunctionIsRegisteredAndToleratesMissingArguments) {
    EXPECT_EQ(Int("select('#', lua_AddReg('HKCU', " + User() + ", 'v', 'REG_SZ', 'x', true))"), 0);
    EXPECT_EQ(Int("select('#', lua_DelReg())"), 0);
    EXPECT_EQ(Int("select('#', lua_DelRegKey())"), 0);
    EXPECT_EQ(Type("lua_QueryRegStr()"), "string");
    EXPECT_EQ(Type("lua_QueryRegDword()"), "number");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'missing')"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'missing')"), 0);
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + "..'\\\\nokey', 'v')"), "");
}

TEST_F(RegistryFunctionsTest, WritesAndReadsStringsAndNumbers) {
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() +
                  ", 'Path', 'REG_SZ', 'C:\\\\Program Files\\\\中文 App', true)"),
              "");
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'Channel', 'REG_DWORD', 1001, true)"), "");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'Path')"),
              "C:\\Program Files\\中文 App");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'Channel')"), 1001);
    const StoredValue path = ReadNative(HKEY_CURRENT_USER, base_, L"Path");
    EXPECT_EQ(path.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path.text, L"C:\\Program Files\\中文 App");
    const StoredValue channel = ReadNative(HKEY_CURRENT_USER, base_, L"Channel");
    EXPECT_EQ(channel.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(channel.number, 1001u);
    // An empty value name is the key's default value.
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", '', 'REG_SZ', 'default', true)"), "");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", '')"), "default");
}

TEST_F(RegistryFunctionsTest, OnlyExactRegSzWritesAString) {
    const struct {
        const char* type;
        const char* value;
        DWORD storedType;
        DWORD number;
    } cases[] = {
        {"REG_SZ", "'12'", REG_SZ, 0},
        {"REG_DWORD", "'12'", REG_DWORD, 12},
        {"REG_EXPAND_SZ", "12", REG_DWORD, 12},
        {"reg_sz", "12", REG_DWORD, 12},
        {"", "7", REG_DWORD, 7},
        {"REG_DWORD", "'not a number'", REG_DWORD, 0},
        {"REG_DWORD", "4294967297", REG_DWORD, 1},  // low 32 bits only
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "v" + std::to_string(n++);
        ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", '" + name + "', '" + c.type + "', " +
                      c.value + ", true)"),
                  "");
        const StoredValue v = ReadNative(HKEY_CURRENT_USER, base_, Widen(name));
        ASSERT_TRUE(v.found) << c.type;
        EXPECT_EQ(v.type, c.storedType) << c.type;
        if (c.storedType == REG_SZ) {
            EXPECT_EQ(v.text, L"12") << c.type;
        } else {
            EXPECT_EQ(v.number, c.number) << c.type << " " << c.value;
        }
    }
}

TEST_F(RegistryFunctionsTest, OverwriteFalseKeepsAnExistingValueOfAnyType) {
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'v', 'REG_SZ', 'first', true)"), "");
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'v', 'REG_DWORD', 5, false)"), "");
    StoredValue v = ReadNative(HKEY_CURRENT_USER, base_, L"v");
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v.text, L"first");
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'v', 'REG_SZ', 'second', nil)"), "");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'v')"), "first");

    // A missing value is written; any value but nil and false means overwrite.
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'w', 'REG_DWORD', 9, false)"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'w')"), 9);
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'v', 'REG_DWORD', 5, 0)"), "");
    v = ReadNative(HKEY_CURRENT_USER, base_, L"v");
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(v.number, 5u);
}

TEST_F(RegistryFunctionsTest, UnknownRootsMeanTheLocalMachineForValues) {
    const char* const roots[] = {"'HKLM'", "'hklm'", "''", "'HKEY_CURRENT_USER'", "nil"};
    int n = 0;
    for (const char* root : roots) {
        const std::string name = "r" + std::to_string(n++);
        ASSERT_EQ(Run(std::string("lua_AddReg(") + root + ", " + Machine() + ", '" + name +
                      "', 'REG_SZ', 'machine', true)"),
                  "");
        EXPECT_EQ(ReadNative(HKEY_LOCAL_MACHINE, machine_, Widen(name)).text, L"machine") << root;
        EXPECT_EQ(
            Text(std::string("lua_QueryRegStr(") + root + ", " + Machine() + ", '" + name + "')"),
            "machine")
            << root;
        ASSERT_EQ(Run(std::string("lua_DelReg(") + root + ", " + Machine() + ", '" + name + "')"),
                  "");
        EXPECT_FALSE(ReadNative(HKEY_LOCAL_MACHINE, machine_, Widen(name)).found) << root;
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, machine_, KEY_WOW64_64KEY));
}

TEST_F(RegistryFunctionsTest, MachineValuesLiveInTheSixtyFourBitView) {
    ASSERT_EQ(Run("lua_AddReg('HKLM', " + Machine() + ", 'Path', 'REG_SZ', 'C:\\\\x', true)"), "");
    EXPECT_TRUE(ReadNative(HKEY_LOCAL_MACHINE, machine_, L"Path", KEY_WOW64_64KEY).found);
    EXPECT_FALSE(ReadNative(HKEY_LOCAL_MACHINE, machine_, L"Path", KEY_WOW64_32KEY).found);
    EXPECT_EQ(Text("lua_QueryRegStr('HKLM', " + Machine() + ", 'Path')"), "C:\\x");
}

TEST_F(RegistryFunctionsTest, DwordReadsBackUnsigned) {
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'all', 'REG_DWORD', -1, true)"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'all')"), 4294967295);
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'big', 'REG_DWORD', 4294967295, true)"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'big')"), 4294967295);
    EXPECT_EQ(ReadNative(HKEY_CURRENT_USER, base_, L"all").number, 0xFFFFFFFFu);
}

TEST_F(RegistryFunctionsTest, QueriesReadTheDataWhateverItsType) {
    // A number read as text: its bytes 42 00 41 00 are the characters "BA".
    const DWORD letters = 0x00410042;
    SetRaw(HKEY_CURRENT_USER, base_, L"number", REG_DWORD, &letters, sizeof(letters));
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'number')"), "BA");
    // Text that does not fit four bytes reads as 0; two bytes fit.
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'text', 'REG_SZ', 'ab', true)"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'text')"), 0);
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'empty', 'REG_SZ', '', true)"), "");
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'empty')"), 0);
    const wchar_t one[] = L"A";  // two bytes of data, no terminator
    SetRaw(HKEY_CURRENT_USER, base_, L"short", REG_BINARY, one, 2);
    EXPECT_EQ(Int("lua_QueryRegDword('HKCU', " + User() + ", 'short')"), 0x41);
}

TEST_F(RegistryFunctionsTest, StringsUpTo259CharactersReadBack) {
    const std::string fits(259, 'a');
    const std::string tooLong(260, 'b');
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() +
                  ", 'fits', 'REG_SZ', string.rep('a', 259), "
                  "true)"),
              "");
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() +
                  ", 'long', 'REG_SZ', string.rep('b', 260), "
                  "true)"),
              "");
    EXPECT_EQ(ReadNative(HKEY_CURRENT_USER, base_, L"long").text, Widen(tooLong));
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'fits')"), fits);
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'long')"), "");
    // 260 characters stored as plain bytes without a terminating zero fill
    // the buffer exactly; the read stays within it.
    const std::wstring exact(260, L'c');
    SetRaw(HKEY_CURRENT_USER, base_, L"exact", REG_BINARY, exact.data(), 520);
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'exact')"), Narrow(exact));
}

TEST_F(RegistryFunctionsTest, DelRegRemovesOneValue) {
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'a', 'REG_SZ', 'x', true)"), "");
    ASSERT_EQ(Run("lua_AddReg('HKCU', " + User() + ", 'b', 'REG_SZ', 'y', true)"), "");
    ASSERT_EQ(Run("lua_DelReg('HKCU', " + User() + ", 'a')"), "");
    ASSERT_EQ(Run("lua_DelReg('HKCU', " + User() + ", 'missing')"), "");
    ASSERT_EQ(Run("lua_DelReg('HKCU', " + User() + "..'\\\\nokey', 'b')"), "");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'a')"), "");
    EXPECT_EQ(Text("lua_QueryRegStr('HKCU', " + User() + ", 'b')"), "y");
}

TEST_F(RegistryFunctionsTest, DelRegKeyRemovesNestedKeysInBothViews) {
    // HKLM\SOFTWARE has a separate 32-bit view; the key is in both.
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        CreateKey(HKEY_LOCAL_MACHINE, machine_ + L"\\App\\a\\b\\c", view);
        CreateKey(HKEY_LOCAL_MACHINE, machine_ + L"\\App\\d", view);
        CreateKey(HKEY_LOCAL_MACHINE, machine_ + L"\\Other", view);
    }
    ASSERT_EQ(
        Run("lua_AddReg('HKLM', " + Machine() + "..'\\\\App\\\\a', 'v', 'REG_SZ', 'x', true)"), "");
    HKEY probe = nullptr;
    ASSERT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", 0, KEY_READ, &probe),
              ERROR_FILE_NOT_FOUND)
        << "the registry has no separate 32-bit view here";
    ::RegCloseKey(probe);

    ASSERT_EQ(Run("lua_DelRegKey('HKLM', " + Machine() + ", 'App')"), "");
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, machine_ + L"\\App", view)) << view;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, machine_ + L"\\Other", view)) << view;
    }
}

TEST_F(RegistryFunctionsTest, DelRegKeyNeedsAKnownRootAndAName) {
    CreateKey(HKEY_CURRENT_USER, base_ + L"\\App\\sub", KEY_WOW64_64KEY);
    CreateKey(HKEY_LOCAL_MACHINE, machine_ + L"\\App\\sub", KEY_WOW64_64KEY);
    const char* const ignored[] = {
        "lua_DelRegKey('hklm', MACHINE, 'App')",  // roots are case-sensitive here
        "lua_DelRegKey('', MACHINE, 'App')",
        "lua_DelRegKey(nil, MACHINE, 'App')",
        "lua_DelRegKey('HKCU', USER, '')",  // would name the parent itself
        "lua_DelRegKey('HKCU', USER..'\\\\App', nil)",
        "lua_DelRegKey('HKCU', USER..'\\\\missing', 'App')",
    };
    ASSERT_EQ(Run("MACHINE = " + Machine() + "; USER = " + User()), "");
    for (const char* call : ignored) {
        ASSERT_EQ(Run(call), "") << call;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, machine_ + L"\\App\\sub", 0)) << call;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base_ + L"\\App\\sub", 0)) << call;
    }
    ASSERT_EQ(Run("lua_DelRegKey('HKCU', USER, 'App')"), "");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base_ + L"\\App", 0));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base_, 0));
}

// A link planted under the product's per-user key must not make an uninstall
// delete what it points to (here a machine-wide key).
TEST_F(RegistryFunctionsTest, DelRegKeyDeletesLinksAsLinks) {
    const std::wstring victim = machine_ + L"\\Victim";
    const std::wstring target = L"\\Registry\\Machine\\" + victim;
    ASSERT_EQ(Run("MACHINE = " + Machine() + "; USER = " + User()), "");
    const struct {
        const wchar_t* link;  // below the user's test key
        const char* call;
        const wchar_t* gone;
    } cases[] = {
        {L"\\App\\sub\\Evil", "lua_DelRegKey('HKCU', USER, 'App')", L"\\App"},
        {L"\\Evil", "lua_DelRegKey('HKCU', USER, 'Evil')", L"\\Evil"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        CreateKey(HKEY_LOCAL_MACHINE, victim + L"\\keep", KEY_WOW64_64KEY);
        DWORD one = 1;
        SetRaw(HKEY_LOCAL_MACHINE, victim, L"value", REG_DWORD, &one, sizeof(one));
        CreateKey(HKEY_CURRENT_USER, base_ + L"\\App\\sub", KEY_WOW64_64KEY);
        if (!MakeRegistryLink(HKEY_CURRENT_USER, base_ + c.link, target))
            GTEST_SKIP() << "no registry links here";
        ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, base_ + c.link + std::wstring(L"\\keep"), 0))
            << "the link does not lead to its target";

        ASSERT_EQ(Run(c.call), "");
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base_ + c.gone, 0));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, victim + L"\\keep", KEY_WOW64_64KEY));
        EXPECT_TRUE(ReadNative(HKEY_LOCAL_MACHINE, victim, L"value").found);
    }
}

}  // namespace
