#include "Installation.h"

#include <windows.h>

#include <cwchar>
#include <optional>

#include "ExtractionRecord.h"
#include "InstallLock.h"
#include "InstallTransaction.h"
#include "Package.h"
#include "ProgressCodes.h"

namespace {

std::wstring Hex(uint32_t value)
{
    wchar_t text[9] = {};
    std::swprintf(text, 9, L"%08X", value);
    return text;
}

std::wstring DescribeCheck(const PackageCheck& check, size_t size)
{
    if (!check.computed)
        return L"Package check: the " + std::to_wstring(size) + L" bytes of the package cannot be read: refused";
    std::wstring line = L"Package check: CRC-32 " + Hex(*check.computed) + L" of " + std::to_wstring(size) + L" bytes";
    if (!check.recorded)
        return line + L", no recorded CRC-32 to compare with: refused";
    if (!check.Passed())
        return line + L" differs from the recorded " + Hex(*check.recorded) + L": refused";
    return line + L" matches the recorded value";
}

// The window turns to the failed state first, then the box says why.
InstallResult Refuse(InstallObserver& observer, InstallResult kind, const std::wstring& text)
{
    observer.Progress(ProgressFailed);
    observer.ShowMessage(text, ::GetActiveWindow(), L"", L"确定", L"");
    return kind;
}

// Why the package could not be unpacked, if it could not. The package is read from the
// installer's file a piece at a time, so a large one is never held in memory whole.
std::optional<InstallResult> Unpack(int packageId, InstallObserver& observer, const std::wstring& folder,
                                    ExtractionRecord& record)
{
    const std::wstring unpackFailed = L"安装失败,解压缩安装包失败:";
    const auto resource = FindResourceBytes(packageId, SetupPackageType);
    if (!resource)
        return Refuse(observer, InstallResult::DamagedPackage, unpackFailed + L"读取资源失败");
    const PackageSource package = PackageSource::Locate(*resource);
    const PackageCheck check = CheckPackage(package, packageId);
    observer.Record(DescribeCheck(check, package.Size()));
    if (!check.Passed())
        return Refuse(observer, InstallResult::DamagedPackage, L"安装包已损坏，请重新下载安装程序");
    if (!UnpackEntries(package, folder, record))
        return Refuse(observer, InstallResult::UnpackFailed, unpackFailed + L"解压资源失败");
    observer.Record(L"Unpacked " + std::to_wstring(record.Files().size()) + L" files into " + folder);
    return std::nullopt;
}

} // namespace

InstallResult RunInstallation(int packageId, const std::wstring& extractionDir, InstallInputs inputs,
                              InstallObserver& observer, std::wstring& installDir)
{
    observer.Progress(ProgressExtracting);
    // Installers started side by side share the folder "temp" and the journal.
    InstallLock lock;
    if (!lock.TryAcquire()) {
        observer.Record(L"Another installation is running: waiting until it has finished");
        if (!lock.Acquire([&observer] { return observer.StopRequested(); }))
            return InstallResult::Stopped;
        observer.Record(L"The other installation has finished: going on");
    }
    FinishInterruptedInstallation([&observer](const std::wstring& line) { observer.Record(line); });
    ExtractionRecord extracted;
    inputs.sourceDir = extractionDir;
    if (const auto failure = Unpack(packageId, observer, inputs.sourceDir, extracted))
        return *failure;
    observer.Progress(ProgressCopying);
    inputs.extracted = &extracted;
    inputs.removeExtractedFiles = [&extracted] { return extracted.RemoveRecorded(); };
    return RunInstallSteps(inputs, observer, installDir);
}
