// Process-wide settings of the driver that other subsystems query.
#pragma once

namespace zu::driver {

struct DriverSettings {
    int mainArgc = 0;  // as handed to ZuMain, not copied
    char** mainArgv = nullptr;
    int zuArgc = 0;           // the running program's arguments,
    char** zuArgv = nullptr;  //   owned (TabAllocPlain + copies)
    int interactive = 0;
    int gaussMode = 0;
    int caseInsensitive = 0;
    int editMode = 0;
    int userExitCode = 0;  // set by the Zu function exit()
};

DriverSettings& settings();

}  // namespace zu::driver
