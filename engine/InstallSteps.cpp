#include "InstallSteps.h"

#include <shlobj.h>

#include <optional>
#include <vector>

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

const wchar_t* Outcome(bool done, const wchar_t* yes, const wchar_t* no)
{
    return done ? yes : no;
}

std::wstring Joined(const std::vector<std::wstring>& parts)
{
    std::wstring text;
    for (const std::wstring& part : parts)
        text += (text.empty() ? L"" : L", ") + part;
    return text;
}

// "<file> copied" or "<file> not copied", for the log.
std::wstring CopiedOrNot(const std::wstring& file, bool copied)
{
    return file + Outcome(copied, L" copied", L" not copied");
}

std::wstring Counted(const FolderCopy& copy)
{
    std::wstring text = std::to_wstring(copy.copied) + L" files copied";
    if (copy.failed)
        text += L", " + std::to_wstring(copy.failed) + L" not copied";
    return text;
}

// The error that stops an installation: the text the user sees and its kind.
struct StepError {
    InstallResult kind;
    std::wstring text;
};

// One install run: the inputs, the observer and the install folder being written.
class InstallRun {
public:
    InstallRun(const InstallInputs& inputs, InstallObserver& observer)
        : inputs(inputs), observer(observer), target(WithTrailingBackslash(inputs.installPath)),
          source(inputs.sourceDir)
    {
    }

    InstallResult Run(std::wstring& installDir);

private:
    void Tell(const std::wstring& text) { observer.ShowMessage(text, ::GetActiveWindow(), L"", OkButton, L""); }
    InstallResult Fail(const StepError& error)
    {
        Tell(error.text);
        observer.Progress(ProgressFailed);
        return error.kind;
    }
    bool Stopped() { return observer.StopRequested(); }
    void Record(const std::wstring& line) { observer.Record(line); }

    std::optional<StepError> CreateInstallFolder();
    void OfferMigration();
    void Migrate(const std::wstring& old);
    // Each returns the error that stops the installation, if any.
    std::optional<StepError> CopyApplication();
    void ConvertTemplateList();
    std::optional<StepError> ProvideDataFile();
    std::optional<StepError> CopyFolder(const wchar_t* name);
    void CreateShortcuts();
    void Link(const std::wstring& linkTarget, const std::wstring& linkPath, bool setIcon, bool tellFailure);
    void Register();
    void RemoveExtractedFiles();

    const InstallInputs& inputs;
    InstallObserver& observer;
    const std::wstring target;
    const std::wstring source;
};

InstallResult InstallRun::Run(std::wstring& installDir)
{
    // The window was told about rejected paths before the worker started, but the
    // window must still leave "copying" for the failed state.
    if (!IsAcceptedInstallPath(target))
        return Fail({InstallResult::InvalidFolder, InvalidInstallPathText});
    if (auto error = CreateInstallFolder())
        return Fail(*error);
    if (!Exists(source))
        return Fail({InstallResult::UnpackFailed, ReplacePlaceholder(L"未找到源文件夹“%s”", source)});
    if (Stopped())
        return InstallResult::Stopped;
    OfferMigration();

    std::optional<StepError> error;
    auto step = [&](auto&& action) {
        if (!error && !Stopped())
            error = action();
    };
    step([&] {
        if (Exists(target + L"data.dat"))
            Record(Outcome(ConvertReminders(target), L"Reminders: converted from data.dat into timer.dat",
                           L"Reminders: nothing to convert in data.dat"));
        return CopyApplication();
    });
    step([&] {
        ConvertTemplateList();
        return ProvideDataFile();
    });
    step([&] { return CopyFolder(L"res"); });
    step([&] { return CopyFolder(L"sound"); });
    if (error)
        return Fail(*error);
    if (Stopped())
        return InstallResult::Stopped;
    CreateShortcuts();
    if (Stopped())
        return InstallResult::Stopped;
    Register();
    RemoveExtractedFiles();
    installDir = target;
    observer.Progress(ProgressSucceeded);
    return InstallResult::Installed;
}

std::optional<StepError> InstallRun::CreateInstallFolder()
{
    const bool existed = Exists(target);
    size_t next = target.find(L'\\', target.find(L":\\") + 2);
    while (!Exists(target) && next != std::wstring::npos) {
        const std::wstring folder = target.substr(0, next);
        if (!EnsureFolder(folder))
            return StepError{InstallResult::FolderNotCreated, ReplacePlaceholder(L"创建文件夹\"%s\"失败！", folder)};
        next = target.find(L'\\', next + 1);
    }
    Record(L"Install folder " + target + Outcome(existed, L": already there", L": created"));
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
    std::vector<std::wstring> done;
    auto copyFile = [&](const wchar_t* file) {
        done.push_back(CopiedOrNot(file, Copy(old + file, target + file, true)));
    };
    copyFile(L"data.dat");
    copyFile(L"timer.dat");
    for (const wchar_t* folder : {L"backup\\", L"res\\", L"image\\"}) {
        if (Stopped())
            return;
        EnsureFolder(target + folder);
        done.push_back(folder + (L" " + Counted(CopyFolderFiles(old + folder, target + folder, false, stop))));
    }
    copyFile(L"template.xml");
    Record(L"Migration from " + old + L": " + Joined(done));
}

std::optional<StepError> InstallRun::CopyApplication()
{
    if (!Copy(source + L"\\Pinvora.exe", target + L"Pinvora.exe", true))
        return StepError{InstallResult::FileNotCopied, L"拷贝文件“Pinvora.exe”失败！"};
    std::vector<std::wstring> done{L"Pinvora.exe copied"};
    for (const wchar_t* file : {L"使用说明.txt", L"卸载Tessamo.exe"})
        done.push_back(CopiedOrNot(file, Copy(source + L"\\" + file, target + file, true)));
    Record(L"Program files: " + Joined(done));
    return std::nullopt;
}

void InstallRun::ConvertTemplateList()
{
    Record(Outcome(ConvertTemplates(source + L"\\template-utf8.xml", target),
                   L"Template list: merged into template-utf8.xml of the install folder and the per-user folder",
                   L"Template list: not written to the per-user folder, or a user list could not be read"));
}

std::optional<StepError> InstallRun::ProvideDataFile()
{
    const std::wstring dataFile = target + L"data.dat";
    if (Exists(dataFile)) {
        Record(L"Data file: the existing data.dat is kept");
    } else if (Exists(target + L"config.xml")) {
        if (!Copy(target + L"config.xml", dataFile, true))
            return StepError{InstallResult::FileNotCopied, L"更新配置文件失败！"};
        Record(L"Data file: data.dat made from config.xml");
    } else {
        if (!Copy(source + L"\\data.dat", dataFile, true))
            return StepError{InstallResult::FileNotCopied, L"拷贝文件“data.dat”失败！"};
        Record(L"Data file: data.dat copied from the package");
    }
    return std::nullopt;
}

std::optional<StepError> InstallRun::CopyFolder(const wchar_t* name)
{
    const std::wstring folder = target + name + L"\\";
    if (!EnsureFolder(folder))
        return StepError{InstallResult::FolderNotCreated, L"创建目录失败！"};
    const FolderCopy copy = CopyFolderFiles(source + L"\\" + name + L"\\", folder, true, [this] { return Stopped(); });
    Record(std::wstring(name) + L"\\: " + Counted(copy));
    return std::nullopt;
}

void InstallRun::CreateShortcuts()
{
    const std::wstring application = target + L"Pinvora.exe";
    wchar_t folder[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(inputs.window, folder, CSIDL_DESKTOP, FALSE))
        Link(application, std::wstring(folder) + L"\\Tessamo.lnk", true, true);
    else
        Record(L"Shortcut: no desktop folder, no desktop shortcut");
    observer.Progress(ProgressStartMenu);

    wchar_t programs[MAX_PATH] = {};
    if (::SHGetSpecialFolderPathW(inputs.window, programs, CSIDL_PROGRAMS, FALSE)) {
        const std::wstring menu = std::wstring(programs) + L"\\Tessamo";
        EnsureFolder(menu);
        Link(application, menu + L"\\Tessamo.lnk", true, false);
        Link(target + L"使用说明.txt", menu + L"\\使用说明.txt.lnk", false, false);
        Link(target + L"卸载Tessamo.exe", menu + L"\\卸载Tessamo.lnk", true, false);
    } else {
        Record(L"Shortcut: no programs folder, no Start menu shortcuts");
    }
    observer.Progress(ProgressRegistering);
}

void InstallRun::Link(const std::wstring& linkTarget, const std::wstring& linkPath, bool setIcon, bool tellFailure)
{
    const bool created = CreateShortcut(linkTarget, linkPath, setIcon);
    Record(L"Shortcut " + linkPath + L" -> " + linkTarget + Outcome(created, L": created", L": failed"));
    // Only the desktop shortcut's failure is shown.
    if (!created && tellFailure)
        Tell(L"创建桌面图标失败");
}

void InstallRun::Register()
{
    const std::wstring application = target + L"Pinvora.exe";
    if (inputs.autostart) {
        const bool written = SetAutostart(application);
        Record(L"Registry HKCU\\" + std::wstring(AutostartRunKey) + L": " + AutostartValueName + L" = \"" +
               application + L"\"" + Outcome(written, L"", L" (not written)"));
    } else {
        Record(L"Registry: no autostart value requested; an existing one is left as it is");
    }
    const std::wstring uninstaller = target + L"卸载Tessamo.exe";
    const std::wstring version = GetFileVersionText(application).value_or(L"");
    const bool written = WriteUninstallEntry(application, uninstaller, version);
    for (const auto& [name, text] : UninstallValues(application, uninstaller, version)) {
        Record(L"Registry HKCU\\" + std::wstring(UninstallEntryKey) + L": " + name + L" = " + text +
               Outcome(written, L"", L" (not written)"));
    }
    observer.Progress(ProgressCleaningUp);
}

void InstallRun::RemoveExtractedFiles()
{
    if (inputs.removeExtractedFiles) {
        Record(Outcome(inputs.removeExtractedFiles(), L"Clean-up: the unpacked files are removed",
                       L"Clean-up: some unpacked files could not be removed"));
    }
}

} // namespace

const wchar_t* DescribeInstallResult(InstallResult result)
{
    switch (result) {
    case InstallResult::Installed:
        return L"installed";
    case InstallResult::InvalidFolder:
        return L"the install folder is not valid";
    case InstallResult::ApplicationRunning:
        return L"Tessamo is running";
    case InstallResult::DamagedPackage:
        return L"the setup package is damaged";
    case InstallResult::UnpackFailed:
        return L"the setup package could not be unpacked";
    case InstallResult::FolderNotCreated:
        return L"a folder could not be created";
    case InstallResult::FileNotCopied:
        return L"a file could not be copied";
    case InstallResult::Stopped:
        return L"stopped: the setup window was closed";
    }
    return L"unknown";
}

InstallResult RunInstallSteps(const InstallInputs& inputs, InstallObserver& observer, std::wstring& installDir)
{
    return InstallRun(inputs, observer).Run(installDir);
}

FolderCopy CopyFolderFiles(const std::wstring& sourceFolder, const std::wstring& destFolder, bool overwrite,
                           const std::function<bool()>& stopRequested)
{
    FolderCopy copy;
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((sourceFolder + L"*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return copy;
    do {
        if (stopRequested && stopRequested())
            break;
        const std::wstring name = entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        ++(Copy(sourceFolder + name, destFolder + name, overwrite) ? copy.copied : copy.failed);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return copy;
}
