// Internal: child processes on a POSIX system (fork, exec, pipes, waitpid, kill). Both back ends' tables point their
// process procedures here (platform/backends.h); the game calls them through platform/platform.h.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

ProcessHandle PosixStartProcess(const std::string& program, const std::vector<std::string>& arguments);
std::string PosixReadProcess(ProcessHandle process, ProcessStream stream);
bool PosixProcessEnded(ProcessHandle process, int& exitCode);
void PosixStopProcess(ProcessHandle process);
// Stops every process still known: a run's processes end with it (PlatformInit, PlatformExit).
void PosixStopAllProcesses();
