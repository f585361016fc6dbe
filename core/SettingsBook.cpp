#include "core/SettingsBook.h"

#include <utility>

namespace {

struct Book {
    Settings saved;
    Settings used;
    SettingsBook::Saver save;
    SettingsBook::Applier apply;
};

Book& TheBook()
{
    static Book book;
    return book;
}

template <typename T>
void TakeChanged(T& onDisk, const T& before, const T& after)
{
    if (before != after) onDisk = after;
}

}   // namespace

void SettingsBook::Configure(const Settings& saved, const Settings& used, Saver save, Applier apply)
{
    Book& book = TheBook();
    book.saved = saved;
    book.used = used;
    book.save = std::move(save);
    book.apply = std::move(apply);
}

const Settings& SettingsBook::Saved() { return TheBook().saved; }

const Settings& SettingsBook::Used() { return TheBook().used; }

void SettingsBook::Use(const Settings& settings)
{
    Book& book = TheBook();
    book.used = settings;
    if (book.apply) book.apply(settings);
}

void SettingsBook::NoteFullscreen(bool fullscreen) { TheBook().used.fullscreen = fullscreen; }

Settings SettingsBook::Merge(const Settings& onDisk, const Settings& before, const Settings& after)
{
    Settings merged = onDisk;
    TakeChanged(merged.musicVolume, before.musicVolume, after.musicVolume);
    TakeChanged(merged.effectsVolume, before.effectsVolume, after.effectsVolume);
    TakeChanged(merged.fullscreen, before.fullscreen, after.fullscreen);
    for (int player = 0; player < Settings::kPlayers; ++player)
        TakeChanged(merged.keys[player], before.keys[player], after.keys[player]);
    return merged;
}

bool SettingsBook::SaveChanges(const Settings& before)
{
    Book& book = TheBook();
    const Settings merged = Merge(book.saved, before, book.used);
    if (book.save && !book.save(merged)) return false;
    book.saved = merged;
    return true;
}
