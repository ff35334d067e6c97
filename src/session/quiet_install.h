// The installation without the wizard (/Q): into the default folder or the one /D= names,
// every question answered as an unattended run must: the newer file kept, a file in use
// failing the run, a missing folder created, a missing volume failing the run.
#pragma once

// The exit codes of a quiet run (an interactive run keeps its own).
enum QuietExit : int {
  QUIET_INSTALLED = 0,
  QUIET_REFUSED = 1,  // not started: a setup already running, no archive, a bad /D= folder
  QUIET_FAILED = 2,   // started and failed: what is installed so far stays, nothing registered
  QUIET_RESTART = 3,  // installed, the system must restart first (no file is left to it yet)
};

// Runs the installation over the loaded archive and InstallDir; its exit code.
QuietExit RunQuietInstallation();
