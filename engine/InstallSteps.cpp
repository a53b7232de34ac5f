#include "InstallSteps.h"

#include <shlobj.h>

#include <optional>

#include "InstallPath.h"
#include "ProgressCodes.h"
#include "ReminderConversion.h"
#include "Shortcuts.h"
#include "SystemIntegration.h"
#include "TemplateConversion.h"

namespace {

const wchar_t* const OkButton = L"确定";

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::wstring& folder)
{
    return Exists(folder) || ::CreateDirectoryW(folder.c_str(), nullptr);
}

bool Copy(const std::wstring& from, const std::wstring& to, bool overwrite)
{
    return ::CopyFileW(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != FALSE;
}

std::wstring ReplacePlaceholder(std::wstring format, const std::wstring& value)
{
    const size_t at = format.find(L"%s");
    if (at != std::wstring::npos)
        format.replace(at, 2, value);
    return format;
}

// One install run: the inputs, the observer and the install folder being written.
class InstallRun {
public:
    InstallRun(const InstallInputs& inputs, InstallObserver& observer)
        : inputs(inputs), observer(observer), target(WithTrailingBackslash(inputs.installPath)),
          source(inputs.sourceDir)
    {
    }

    bool Run(std::wstring& installDir);

private:
    void Tell(const std::wstring& text) { observer.ShowMessage(text, ::GetActiveWindow(), L"", OkButton, L""); }
    void Fail(const std::wstring& text)
    {
        Tell(text);
        observer.Progress(ProgressFailed);
    }
    bool Stopped() { return observer.StopRequested(); }

    std::optional<std::wstring> CreateInstallFolder();
    void OfferMigration();
    void Migrate(const std::wstring& old);
    // Each returns the error text that stops the installation, if any.
    std::optional<std::wstring> CopyApplication();
    std::optional<std::wstring> ProvideDataFile();
    std::optional<std::wstring> CopyFolder(const wchar_t* name);
    void CreateShortcuts();
    void Register();

    const InstallInputs& inputs;
    InstallObserver& observer;
    const std::wstring target;
    const std::wstring source;
};

bool InstallRun::Run(std::wstring& installDir)
{
    // The window was told about rejected paths before the worker started, but the
    // window must still leave "copying" for the failed state.
    if (!IsAcceptedInstallPath(target)) {
        Fail(L"无效的安装路径，请输入正确的安装路径！");
        return false;
    }
    if (auto failedFolder = CreateInstallFolder()) {
        Fail(ReplacePlaceholder(L"创建文件夹\"%s\"失败！", *failedFolder));
        return false;
    }
    if (!Exists(source)) {
        Fail(ReplacePlaceholder(L"未找到源文件夹“%s”", source));
        return false;
    }
    if (Stopped())
        return false;
    OfferMigration();

    std::optional<std::wstring> error;
    auto step = [&](auto&& action) {
        if (!error && !Stopped())
            error = action();
    };
    step([&] {
        if (Exists(target + L"data.dat"))
            ConvertReminders(target);
        return CopyApplication();
    });
    step([&] {
        ConvertTemplates(source + L"\\template-utf8.xml", target);
        return ProvideDataFile();
    });
    step([&] { return CopyFolder(L"res"); });
    step([&] { return CopyFolder(L"sound"); });
    if (error) {
        Fail(*error);
        return false;
    }
    if (Stopped())
        return false;
    CreateShortcuts();
    if (Stopped())
        return false;
    Register();
    if (inputs.removeExtractedFiles)
        inputs.removeExtractedFiles();
    installDir = target;
    observer.Progress(ProgressSucceeded);
    return true;
}

std::optional<std::wstring> InstallRun::CreateInstallFolder()
{
    size_t next = target.find(L'\\', target.find(L":\\") + 2);
    while (!Exists(target) && next != std::wstring::npos) {
        const std::wstring folder = target.substr(0, next);
        if (!EnsureFolder(folder))
            return folder;
        next = target.find(L'\\', next + 1);
    }
    return std::nullopt;
}

void InstallRun::OfferMigration()
{
    const std::wstring& old = inputs.previousInstallDir;
    if (!inputs.previousInstallFound || old == target || !Exists(old))
        return;
    int answer = observer.ShowMessage(
        L"检测到您之前已经安装了Tessamo且此次安装更换了安装目录，是否需要进行数据迁移？",
        inputs.window, L"数据迁移", L"是", L"否");
    if (answer == 1 && !Stopped())
        Migrate(old);
}

void InstallRun::Migrate(const std::wstring& old)
{
    auto stop = [this] { return Stopped(); };
    Copy(old + L"data.dat", target + L"data.dat", true);
    Copy(old + L"timer.dat", target + L"timer.dat", true);
    for (const wchar_t* folder : {L"backup\\", L"res\\", L"image\\"}) {
        if (Stopped())
            return;
        EnsureFolder(target + folder);
        CopyFolderFiles(old + folder, target + folder, false, stop);
    }
    Copy(old + L"template.xml", target + L"template.xml", true);
}

std::optional<std::wstring> InstallRun::CopyApplication()
{
    if (!Copy(source + L"\\Pinvora.exe", target + L"Pinvora.exe", true))
        return std::wstring(L"拷贝文件“Pinvora.exe”失败！");
    Copy(source + L"\\使用说明.txt", target + L"使用说明.txt", true);
    Copy(source + L"\\卸载Tessamo.exe", target + L"卸载Tessamo.exe", true);
    return std::nullopt;
}

std::optional<std::wstring> InstallRun::ProvideDataFile()
{
    const std::wstring dataFile = target + L"data.dat";
    if (Exists(dataFile))
        return std::nullopt;
    if (Exists(target + L"config.xml")) {
        if (!Copy(target + L"config.xml", dataFile, true))
            return std::wstring(L"更新配置文件失败！");
    } else if (!Copy(source + L"\\data.dat", dataFile, true)) {
        return std::wstring(L"拷贝文件“data.dat”失败！");
    }
    return std::nullopt;
}

std::optional<std::wstring> InstallRun::CopyFolder(const wchar_t* name)
{
    const std::wstring folder = target + name + L"\\";
    if (!EnsureFolder(folder))
        return std::wstring(L"创建目录失败！");
    CopyFolderFiles(source + L"\\" + name + L"\\", folder, true, [this] { return Stopped(); });
    return std::nullopt;
}

void InstallRun::CreateShortcuts()
{
    const std::wstring application = target + L"Pinvora.exe";
    wchar_t folder[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(inputs.window, folder, CSIDL_DESKTOP, FALSE)) {
        if (!CreateShortcut(application, std::wstring(folder) + L"\\Tessamo.lnk", true))
            Tell(L"创建桌面图标失败");
    }
    observer.Progress(ProgressStartMenu);

    wchar_t programs[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(inputs.window, programs, CSIDL_PROGRAMS, FALSE)) {
        const std::wstring menu = std::wstring(programs) + L"\\Tessamo";
        EnsureFolder(menu);
        CreateShortcut(application, menu + L"\\Tessamo.lnk", true);
        CreateShortcut(target + L"使用说明.txt", menu + L"\\使用说明.txt.lnk", false);
        CreateShortcut(target + L"卸载Tessamo.exe", menu + L"\\卸载Tessamo.lnk", true);
    }
    observer.Progress(ProgressRegistering);
}

void InstallRun::Register()
{
    const std::wstring application = target + L"Pinvora.exe";
    if (inputs.autostart)
        SetAutostart(application);
    WriteUninstallEntry(application, target + L"卸载Tessamo.exe", GetFileVersionText(application).value_or(L""));
    observer.Progress(ProgressCleaningUp);
}

} // namespace

bool RunInstallSteps(const InstallInputs& inputs, InstallObserver& observer, std::wstring& installDir)
{
    return InstallRun(inputs, observer).Run(installDir);
}

void CopyFolderFiles(const std::wstring& sourceFolder, const std::wstring& destFolder, bool overwrite,
                     const std::function<bool()>& stopRequested)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((sourceFolder + L"*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (stopRequested && stopRequested())
            break;
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        Copy(sourceFolder + name, destFolder + name, overwrite);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}
