#include "InstallSteps.h"

#include <shlobj.h>

#include <optional>
#include <vector>

#include "InstallFolder.h"
#include "InstallPath.h"
#include "InstallTransaction.h"
#include "ProgressCodes.h"
#include "ReminderConversion.h"
#include "Shortcuts.h"
#include "SystemIntegration.h"
#include "TemplateConversion.h"
#include "UnpackedCopy.h"

namespace {

const wchar_t* const OkButton = L"确定";
const wchar_t* const DiskFullText = L"磁盘空间不足，拷贝文件“%s”失败！";
const wchar_t* const UnfinishedUndoText = L"上次未完成的安装无法还原，请关闭Tessamo后重新运行安装程序！";

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

// The files directly inside `folder` (with a trailing backslash), subfolders left out.
std::vector<std::wstring> FolderFileNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return names;
}

// "<file> copied" or "<file> not copied", for the log.
std::wstring CopiedOrNot(const std::wstring& file, bool copied)
{
    return file + Outcome(copied, L" copied", L" not copied");
}

std::wstring Described(const FolderCopy& copy)
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
        : inputs(inputs), observer(observer), target(NormalisedInstallPath(inputs.installPath).value_or(L"")),
          source(inputs.sourceDir), extracted(inputs.extracted ? *inputs.extracted : noFiles),
          transaction([this](const std::wstring& line) { Record(line); })
    {
    }

    InstallResult Run(std::wstring& installDir);

private:
    void Tell(const std::wstring& text) { observer.ShowMessage(text, ::GetActiveWindow(), L"", OkButton, L""); }
    // Everything is put back before the user is told.
    InstallResult Fail(const StepError& error)
    {
        transaction.Undo();
        Tell(error.text);
        observer.Progress(ProgressFailed);
        return error.kind;
    }
    InstallResult Stop()
    {
        transaction.Undo();
        return InstallResult::Stopped;
    }
    bool Stopped() { return observer.StopRequested(); }
    std::optional<StepError> DiskFull();
    // The user's data from an earlier installation; what is already here stays.
    FileCopier DataCopier();
    FileReplacer Replacer()
    {
        return [this](const std::wstring& path, const std::string& bytes) { return transaction.ReplaceData(path, bytes); };
    }
    void Record(const std::wstring& line) { observer.Record(line); }
    // A part the installation goes on without: a quiet installation still reports it.
    bool Tallied(bool done)
    {
        partsFailed += done ? 0 : 1;
        return done;
    }
    bool CopyUnpacked(const std::wstring& name, const std::wstring& to);

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
    const ExtractionRecord noFiles;
    const ExtractionRecord& extracted;
    size_t partsFailed = 0;
    InstallTransaction transaction;
};

InstallResult InstallRun::Run(std::wstring& installDir)
{
    // The window was told about rejected paths before the worker started, but the
    // window must still leave "copying" for the failed state.
    if (target.empty())
        return Fail({InstallResult::InvalidFolder, InvalidInstallPathText});
    if (!transaction.Begin())
        return Fail(DiskFull().value_or(StepError{InstallResult::FileNotCopied, UnfinishedUndoText}));
    if (auto error = CreateInstallFolder())
        return Fail(DiskFull().value_or(*error));
    if (!Exists(source))
        return Fail({InstallResult::UnpackFailed, ReplacePlaceholder(L"未找到源文件夹“%s”", source)});
    if (Stopped())
        return Stop();
    OfferMigration();

    std::optional<StepError> error = DiskFull();
    auto step = [&](auto&& action) {
        if (!error && !Stopped())
            error = action();
        if (!error)
            error = DiskFull();
    };
    step([&] {
        if (Exists(target + L"data.dat"))
            Record(Outcome(ConvertReminders(target, Replacer()), L"Reminders: converted from data.dat into timer.dat",
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
        return Stop();
    CreateShortcuts();
    if (Stopped())
        return Stop();
    Register();
    if (!transaction.Commit())
        return Fail(DiskFull().value_or(StepError{InstallResult::FileNotCopied, UnfinishedUndoText}));
    RemoveExtractedFiles();
    installDir = target;
    observer.Progress(ProgressSucceeded);
    return partsFailed ? InstallResult::PartsFailed : InstallResult::Installed;
}

bool InstallRun::CopyUnpacked(const std::wstring& name, const std::wstring& to)
{
    const std::wstring from = source + L"\\" + name;
    UnpackedCopy copy = UnpackedCopy::NotCopied;
    transaction.Write(to, [&] {
        copy = CopyUnpackedFile(extracted, from, to);
        if (copy == UnpackedCopy::Changed)
            ::SetLastError(ERROR_FILE_INVALID);
        return copy == UnpackedCopy::Copied;
    });
    if (copy == UnpackedCopy::Changed)
        Record(from + L" is not the file that was unpacked: not copied");
    return copy == UnpackedCopy::Copied;
}

std::optional<StepError> InstallRun::CreateInstallFolder()
{
    const bool existed = Exists(target);
    size_t next = target.find(L'\\', target.find(L":\\") + 2);
    while (!Exists(target) && next != std::wstring::npos) {
        const std::wstring folder = target.substr(0, next);
        if (!transaction.CreateFolder(folder))
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
    auto stop = [this] { return Stopped() || transaction.DiskFullFile(); };
    std::vector<std::wstring> done;
    auto copyFile = [&](const wchar_t* file) {
        done.push_back(CopiedOrNot(file, transaction.CopyData(old + file, target + file, true)));
    };
    copyFile(L"data.dat");
    copyFile(L"timer.dat");
    for (const wchar_t* folder : {L"backup\\", L"res\\", L"image\\"}) {
        if (stop())
            return;
        transaction.CreateFolder(target + folder);
        done.push_back(folder +
                       (L" " + Described(CopyFolderFiles(old + folder, target + folder, DataCopier(), stop))));
    }
    copyFile(L"template.xml");
    Record(L"Migration from " + old + L": " + Joined(done));
}

std::optional<StepError> InstallRun::CopyApplication()
{
    if (!CopyUnpacked(L"Pinvora.exe", target + L"Pinvora.exe"))
        return DiskFull().value_or(StepError{InstallResult::FileNotCopied, L"拷贝文件“Pinvora.exe”失败！"});
    std::vector<std::wstring> done{L"Pinvora.exe copied"};
    for (const wchar_t* file : {L"使用说明.txt", L"卸载Tessamo.exe"})
        done.push_back(CopiedOrNot(file, Tallied(CopyUnpacked(file, target + file))));
    Record(L"Program files: " + Joined(done));
    return std::nullopt;
}

void InstallRun::ConvertTemplateList()
{
    const std::wstring packageList = source + L"\\template-utf8.xml";
    // Held unchanged while it is read.
    const HeldUnpackedFile held(extracted, packageList);
    if (!Tallied(held.Intact())) {
        Record(L"Template list: " + packageList + L" is not the file that was unpacked: not merged");
        return;
    }
    const std::wstring userFolder = UserDataFolderPath();
    const bool userFolderReady = !userFolder.empty() && transaction.CreateFolder(userFolder);
    Record(Outcome(ConvertTemplates(packageList, target, userFolderReady ? userFolder : L"", Replacer()),
                   L"Template list: merged into template-utf8.xml of the install folder and the per-user folder",
                   L"Template list: not written to the per-user folder, or a user list could not be read"));
}

std::optional<StepError> InstallRun::ProvideDataFile()
{
    const std::wstring dataFile = target + L"data.dat";
    if (Exists(dataFile)) {
        Record(L"Data file: the existing data.dat is kept");
    } else if (Exists(target + L"config.xml")) {
        if (!transaction.CopyData(target + L"config.xml", dataFile, true))
            return DiskFull().value_or(StepError{InstallResult::FileNotCopied, L"更新配置文件失败！"});
        Record(L"Data file: data.dat made from config.xml");
    } else {
        if (!CopyUnpacked(L"data.dat", dataFile))
            return DiskFull().value_or(StepError{InstallResult::FileNotCopied, L"拷贝文件“data.dat”失败！"});
        Record(L"Data file: data.dat copied from the package");
    }
    return std::nullopt;
}

std::optional<StepError> InstallRun::CopyFolder(const wchar_t* name)
{
    const std::wstring folder = target + name + L"\\";
    if (!transaction.CreateFolder(folder))
        return DiskFull().value_or(StepError{InstallResult::FolderNotCreated, L"创建目录失败！"});
    const std::vector<std::wstring> files = extracted.FileNamesIn(source + L"\\" + name + L"\\");
    // One flush of the journal for the whole folder, not one per file.
    transaction.MakeWayFor(folder, files);
    FolderCopy copy;
    for (const std::wstring& file : files) {
        if (Stopped() || transaction.DiskFullFile())
            break;
        ++(Tallied(CopyUnpacked(name + (L"\\" + file), folder + file)) ? copy.copied : copy.failed);
    }
    Record(std::wstring(name) + L"\\: " + Described(copy));
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
        transaction.CreateFolder(menu);
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
    const bool created =
        Tallied(transaction.Write(linkPath, [&] { return CreateShortcut(linkTarget, linkPath, setIcon); }));
    Record(L"Shortcut " + linkPath + L" -> " + linkTarget + Outcome(created, L": created", L": failed"));
    // Only the desktop shortcut's failure is shown.
    if (!created && tellFailure)
        Tell(L"创建桌面图标失败");
}

void InstallRun::Register()
{
    const std::wstring application = target + L"Pinvora.exe";
    if (inputs.autostart) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            transaction.KeepRegistryValue(root, AutostartRunKey, AutostartValueName);
        const bool written = Tallied(SetAutostart(application));
        Record(L"Registry HKCU\\" + std::wstring(AutostartRunKey) + L": " + AutostartValueName + L" = \"" +
               application + L"\"" + Outcome(written, L"", L" (not written)"));
    } else {
        Record(L"Registry: no autostart value requested; an existing one is left as it is");
    }
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    // What is kept aside goes at the end: it is not part of the installation.
    UninstallEntry entry{target, GetFileVersionText(application).value_or(L""),
                         InstalledSizeKiB(target, IsKeptAside), InstallDateText(today)};
    transaction.KeepRegistryKey(HKEY_CURRENT_USER, UninstallEntryKey);
    for (const UninstallValue& value : UninstallValues(entry))
        transaction.KeepRegistryValue(HKEY_CURRENT_USER, UninstallEntryKey, value.name);
    for (const UninstallValueWrite& value : WriteUninstallEntry(entry)) {
        Record(L"Registry HKCU\\" + std::wstring(UninstallEntryKey) + L": " + value.name + L" = " + value.text +
               Outcome(Tallied(value.written), L"", L" (not written)"));
    }
    observer.Progress(ProgressCleaningUp);
}

std::optional<StepError> InstallRun::DiskFull()
{
    const std::optional<std::wstring>& file = transaction.DiskFullFile();
    if (!file)
        return std::nullopt;
    Record(L"Disk full: " + *file + L": " + DescribeSystemError(transaction.DiskFullError()));
    return StepError{InstallResult::DiskFull, ReplacePlaceholder(DiskFullText, *file)};
}

FileCopier InstallRun::DataCopier()
{
    return [this](const std::wstring& from, const std::wstring& to) { return transaction.CopyData(from, to, false); };
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
    case InstallResult::PartsFailed:
        return L"installed, but some parts failed; see the lines above";
    case InstallResult::Stopped:
        return L"stopped: the setup window was closed";
    case InstallResult::DiskFull:
        return L"not enough disk space";
    }
    return L"unknown";
}

InstallResult RunInstallSteps(const InstallInputs& inputs, InstallObserver& observer, std::wstring& installDir)
{
    return InstallRun(inputs, observer).Run(installDir);
}

FolderCopy CopyFolderFiles(const std::wstring& sourceFolder, const std::wstring& destFolder, const FileCopier& copy,
                           const std::function<bool()>& stopRequested)
{
    FolderCopy counted;
    for (const std::wstring& name : FolderFileNames(sourceFolder)) {
        if (stopRequested && stopRequested())
            break;
        ++(copy(sourceFolder + name, destFolder + name) ? counted.copied : counted.failed);
    }
    return counted;
}
