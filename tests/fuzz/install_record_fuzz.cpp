// desinstal.dat as an installation, perhaps killed or damaged, left it. The
// reader takes any bytes; and whatever the record holds, the block that a
// later run appends is read back, with everything read before unchanged.
#include <string>

#include "fuzz_support.h"
#include "shell/install_record.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "support/files.h"

namespace {

bool Read(InstallRecord& record)
{
    ScopedFile file(OpenTextRead(kRecordFile));
    return file && ReadInstallRecord(file.get(), record);
}

// Every part of the record in one text, to compare two readings.
std::string Described(const InstallRecord& record)
{
    std::string text = record.name + '|' + record.title + '|' + record.installDir + '|' +
                       (record.madeInstallDir ? "made" : "") + (record.catalogueMade ? "catalogue" : "") + '\n';
    auto list = [&text](const char* what, const std::vector<std::string>& items) {
        for (const std::string& item : items)
            text += std::string(what) + ' ' + item + '\n';
    };
    list("name", record.names);
    list("folder", record.folders);
    list("shortcut", record.shortcuts);
    list("menu", record.menuFolders);
    list("line", record.catalogueLines);
    list("replaced", record.replacedCatalogueLines);
    list("key", record.registryKeys);
    for (const RecordedFile& file : record.files)
        text += "file " + file.path + (file.stamped ? ' ' + std::to_string(file.size) + ' ' + std::to_string(file.time) : "") + '\n';
    for (const RecordedIniKey& key : record.iniKeys)
        text += "ini " + key.file + '|' + key.section + '|' + key.key + '|' + (key.hadSection ? "s" : "") +
                (key.hadValue ? "v" : "") + '|' + key.value + '\n';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    StartInput();
    WriteFileBytes(kRecordFile, std::string(reinterpret_cast<const char*>(data), size));

    InstallRecord before;
    FUZZ_CHECK(Read(before), "a record on disk cannot be read");
    for (const RecordedFile& file : before.files)
        FUZZ_CHECK(!file.path.empty(), "a file entry without a path");

    // A later run appends one folder of a name no input can hold.
    const std::string folder = "c:\\dico\\appended by the next run";
    RunJournal run;
    run.id = "next run";
    run.recordPath = kRecordFile;
    run.entries.push_back({"folder", {folder}});
    // A record that holds this run already is not appended to.
    if (std::string(reinterpret_cast<const char*>(data), size).find("commit\tnext run") != std::string::npos)
        return 0;
    FUZZ_CHECK(AppendRunToRecord(run), "the record cannot be appended to");

    InstallRecord after;
    FUZZ_CHECK(Read(after), "the extended record cannot be read");
    FUZZ_CHECK(!after.folders.empty() && after.folders.back() == folder, "the appended entry is lost");
    after.folders.pop_back();
    FUZZ_CHECK(Described(after) == Described(before), "appending changed what was recorded before");
    return 0;
}
