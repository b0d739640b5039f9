#pragma once
// The host's run-time service libraries, found beside the host executable, opened on first use and
// kept for the life of the process. A radar, user-interface or converter library that cannot be
// loaded ends the process with exit code 1 after telling the user which file is missing.
class VKSorVikAPI;
class VelIHMAPI;
class ConverterAPI;

VKSorVikAPI* GetSorVikService();
VelIHMAPI* GetUserInterfaceService();
ConverterAPI* GetConverterService();
