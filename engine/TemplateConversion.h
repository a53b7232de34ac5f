#pragma once
#include <optional>
#include <string>
#include <vector>

#include "DataFile.h"

#include "TemplateList.h"

// The per-user data folder of the notes application: the local application data folder
// + "\Tessamo\", both created when missing. Empty when it cannot be had.
std::wstring GetUserDataFolder();
// The same folder without creating anything; empty when the shell has no such folder.
std::wstring UserDataFolderPath();

// userDataFolder + name if that file exists, else dir + name if that exists, else empty.
// An empty userDataFolder is not looked in. The first form uses GetUserDataFolder().
std::wstring FindDataFile(const std::wstring& dir, const std::wstring& name);
std::wstring FindDataFile(const std::wstring& userDataFolder, const std::wstring& dir,
                          const std::wstring& name);

// The templates of a template file, read with the platform's XML DOM: every element inside
// the element "templates" below the document element. Nothing when the file cannot be
// read or is not well-formed. Needs COM on the calling thread.
std::optional<std::vector<TemplateRecord>> LoadTemplateFile(const std::wstring& path);

// Merges the package's template list (packageTemplatePath) into the user's
// ("template-utf8.xml", else the older "template.xml", in the per-user data folder or else
// in installDir) and writes the result as "template-utf8.xml" into the per-user data folder
// and into installDir. A user file that cannot be loaded stops it with false before
// anything is written; otherwise the result tells whether the per-user copy was written.
// An empty userDataFolder skips the per-user copy. The first form uses
// GetUserDataFolder(). Both lists are written with `replace`. Needs COM on the calling
// thread: each file is read into a DOM document of its own.
bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir);
bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir,
                      const std::wstring& userDataFolder, const FileReplacer& replace = ReplaceFileBytes);
