// zarvo.exe as Windows reads it before the program runs: the manifest that gives it the common
// controls of version 6 and awareness of each monitor's scaling, the version resource Explorer
// shows, and, in a release build, no symbols and no debugging sections. The program lies beside
// this test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + L"zarvo.exe";
}

// A setting of the program's manifest in the schema `space` (nullptr: that of 2005), as Windows
// reads it (empty where there is none).
std::wstring Setting(HANDLE context, const wchar_t* space, const wchar_t* name) {
    wchar_t value[128] = {};
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, space, name, value, 128, &written)) {
        return {};
    }
    return value;
}

// The file of the comctl32.dll that loads while `context` is active (empty where none does).
std::wstring CommonControlsFile(HANDLE context) {
    ULONG_PTR cookie = 0;
    if (!ActivateActCtx(context, &cookie)) {
        return {};
    }
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    DeactivateActCtx(0, cookie);
    if (controls == nullptr) {
        return {};
    }
    wchar_t file[MAX_PATH] = {};
    GetModuleFileNameW(controls, file, MAX_PATH);
    FreeLibrary(controls);
    for (wchar_t* c = file; *c != 0; ++c) {
        *c = towlower(*c);
    }
    return file;
}

TEST(WindowsProgram, ItsManifestGivesItCommonControls6AndAwarenessOfEachMonitorsScaling) {
    const std::wstring path = ProgramPath();
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1); // the manifest Windows reads at process start
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE)
        << "no manifest in zarvo.exe (" << GetLastError() << ")";

    // Windows 10 (1607) and later read dpiAwareness and take its first value they know; older
    // ones read dpiAware, where "/pm" means per monitor.
    EXPECT_EQ(
        Setting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness")
            .rfind(L"PerMonitorV2", 0),
        0u);
    EXPECT_NE(Setting(context, nullptr, L"dpiAware").find(L"/pm"), std::wstring::npos);
    // Version 6 of the common controls is a side-by-side assembly of its own (in WinSxS), not
    // the comctl32.dll of the system folder.
    const std::wstring controls = CommonControlsFile(context);
    EXPECT_NE(controls.find(L"microsoft.windows.common-controls_"), std::wstring::npos) << controls;
    EXPECT_NE(controls.find(L"_6.0."), std::wstring::npos) << controls;
    ReleaseActCtx(context);
}

TEST(WindowsProgram, ItsVersionResourceNamesItAndCarriesTheProjectsVersion) {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in zarvo.exe";
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), ZARVO_PROJECT_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), ZARVO_PROJECT_VERSION_MINOR);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), ZARVO_PROJECT_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    const auto text = [&](const wchar_t* name) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        wchar_t* value = nullptr;
        UINT characters = 0;
        if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value),
                            &characters)) {
            return std::wstring();
        }
        return std::wstring(value);
    };
    EXPECT_EQ(text(L"ProductName"), L"Zarvo");
    EXPECT_EQ(text(L"OriginalFilename"), L"zarvo.exe");
    EXPECT_EQ(text(L"FileVersion"), L"" ZARVO_PROJECT_VERSION);
    EXPECT_EQ(text(L"ProductVersion"), L"" ZARVO_PROJECT_VERSION);
}

#ifdef ZARVO_EXPECT_STRIPPED
TEST(WindowsProgram, TheReleaseProgramCarriesNoSymbolsAndNoDebuggingSections) {
    std::vector<char> image;
    if (FILE* file = _wfopen(ProgramPath().c_str(), L"rb")) {
        char block[65536];
        for (size_t n; (n = std::fread(block, 1, sizeof(block), file)) > 0;) {
            image.insert(image.end(), block, block + n);
        }
        std::fclose(file);
    }
    ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof(dos));
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    ASSERT_LE(static_cast<size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS32), image.size());
    IMAGE_NT_HEADERS32 headers;
    std::memcpy(&headers, image.data() + dos.e_lfanew, sizeof(headers));
    ASSERT_EQ(headers.Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(headers.FileHeader.NumberOfSymbols, 0u);

    const size_t first = static_cast<size_t>(dos.e_lfanew) +
                         offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                         headers.FileHeader.SizeOfOptionalHeader;
    for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        ASSERT_LE(first + (i + 1) * sizeof(section), image.size());
        std::memcpy(&section, image.data() + first + i * sizeof(section), sizeof(section));
        const std::string name(reinterpret_cast<const char*>(section.Name),
                               strnlen(reinterpret_cast<const char*>(section.Name), 8));
        // Names longer than eight characters (".debug_info") stand in the symbols' string table
        // as "/offset"; a stripped image has neither.
        EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
        EXPECT_NE(name.rfind('/', 0), 0u) << name;
    }
}
#endif

} // namespace
