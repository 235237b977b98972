// Host habits: what real hosts do with parameters and flags beyond the
// ideal host of the other groups. They treat every parameter as a value:
// they send the same value twice, echo back what a plug-in automates, save
// the last value they read and set it into a fresh instance when a session
// opens, and sort or refuse plug-ins by their flags. Scanning hosts open and
// close every plug-in they find, often many times over. Each theme is a file
// in habits/; this is their table.
#include "tools/validate/CheckContext.h"
#include "tools/validate/groups/habits/HabitChecks.h"

ValidationGroup hostHabitsGroup() {
    return {"habits",
            "Host habits",
            {"read-backs and display texts of every parameter are compared after each call; output bit for bit"},
            {
                {"the instrument flag agrees with the category", 1, flagsAgreeWithCategory},
                {"setting a value twice changes nothing the second time", 1, settingIsIdempotent},
                {"read-backs set into a fresh instance, in index and reverse order, restore it", 2,
                 restoredThroughParameters},
                {"reported automation and read-backs echoed back change nothing", 2, echoChangesNothing},
                {"scanned 50 times: open, identify, close, unload", 3, scanFifty},
                {"scanned 500 times", 8, scanFiveHundred},
            }};
}
