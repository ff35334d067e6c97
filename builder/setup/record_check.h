// The checks that lodrun verify and extract make of a setup's file records: every field the
// program relies on, by the rules the builder writes them by (the name grammar of
// archive/names.h, the words of each numbered setting, the path limits of CheckFileRecord),
// and the targets that two records would share when the program installs them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "builder/io/code_page.h"
#include "builder/setup/file_records.h"

// The record's target as Windows compares names: its destination, then each part of its name
// in upper case (that of the names' code page) without its trailing dots and spaces; empty and
// "." parts do not count.
std::string TargetKey(const FileRecord& record, const CodePageText& codePage = DefaultCodePageText());

// How a fault names record `index` of the table: its name and its place.
std::string RecordLabel(const std::vector<FileRecord>& records, size_t index);

// The faults of one record, each a sentence that names it. defaultDir is the setup's default
// directory, which the record's target path is measured under.
std::vector<std::string> RecordFaults(const std::vector<FileRecord>& records, size_t index,
                                      const std::string& defaultDir);

// The records among `indexes` whose targets meet: two with one target, or one whose target is
// a folder of another's. Each fault names both records.
std::vector<std::string> TargetClashes(const std::vector<FileRecord>& records, const std::vector<size_t>& indexes,
                                       const CodePageText& codePage = DefaultCodePageText());

// Every record's faults, and the clashes of all records' targets.
std::vector<std::string> FileTableFaults(const std::vector<FileRecord>& records, const std::string& defaultDir,
                                         const CodePageText& codePage = DefaultCodePageText());
