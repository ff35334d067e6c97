// What a build checks before it compresses anything: that the setup's files can be written
// where they go without replacing any file the build reads, and that a stored data area
// fits its u32 size field.
#pragma once

#include <string>
#include <vector>

#include "builder/manifest/manifest.h"

// The problems of writing the setup at output, each in a sentence: its folder missing, no
// folder or not writable; output a folder; output or a name of its volumes
// (VolumeFileName, any number, as a build writes or removes them) being one of inputs,
// compared as files (device and inode), so that symbolic and hard links count too.
std::vector<std::string> OutputProblems(const std::string& output, const std::vector<std::string>& inputs);

// Every file the build reads: the manifest, its texts and pictures, the files' sources and
// the programs given.
std::vector<std::string> BuildInputs(const Manifest& manifest, const std::vector<std::string>& programs);

// At level 0 the data area's size is known before anything is compressed: a problem at
// the file whose stored stream takes it to 0xFFFFFFFF bytes or more. None at other levels,
// where only compressing tells.
std::vector<ManifestProblem> StoredDataAreaProblems(const Manifest& manifest, int level);
