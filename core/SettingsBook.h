// SettingsBook keeps the settings while the game runs: the ones on disk and
// the ones this run uses (the command line may change the latter for one run).
// The options screen changes what is used; the shell hands in what puts a
// change to work (the key bindings, the window) and how the settings are saved.
#pragma once

#include <functional>

#include "core/Settings.h"

class SettingsBook {
public:
    using Saver = std::function<bool(const Settings&)>;
    using Applier = std::function<void(const Settings&)>;

    // The settings on disk, the ones this run starts with, and what to do with
    // each change and each save (either may be empty).
    static void Configure(const Settings& saved, const Settings& used, Saver save = {}, Applier apply = {});
    static const Settings& Saved();
    static const Settings& Used();

    // The settings this run uses from now on; handed to the applier.
    static void Use(const Settings& settings);
    // The window was switched from outside (F11): the settings in use follow it.
    static void NoteFullscreen(bool fullscreen);
    // Saves what the player changed between `before` and what is used now,
    // over what is on disk: a value the command line chose for this run only
    // stays out of the file unless the player changed it. False when the
    // save failed (what is on disk is then kept as it was).
    static bool SaveChanges(const Settings& before);
    // What is on disk with the fields that differ between before and after
    // taken from after.
    static Settings Merge(const Settings& onDisk, const Settings& before, const Settings& after);
};
