// Saves the preferences store over and over, every value changed each time
// (generations 1, 2, ... of setEveryPreference), until it is killed; prints
// "saving" once the first save is done. Its folders are those of the test
// that starts it.
#include "EveryPreference.h"

#include "core/Globals.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    BuildKeyPaths();
    clsPreference preference;
    preference.GetSettings();
    for (int generation = 1;; generation = generation % 999 + 1) {
        setEveryPreference(preference, generation);
        preference.SaveSettings();
        if (generation == 1) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
