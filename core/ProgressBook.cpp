#include "core/ProgressBook.h"

#include <utility>

namespace {

struct Book {
    Progress progress;
    std::function<void(const Progress&)> save;
    uint32_t battleStartMs = 0;
    std::optional<ProgressBook::Win> lastWin;
};

Book& TheBook()
{
    static Book book;
    return book;
}

}   // namespace

void ProgressBook::Configure(Progress progress, std::function<void(const Progress&)> save)
{
    TheBook() = Book{std::move(progress), std::move(save), 0, std::nullopt};
}

const Progress& ProgressBook::Current() { return TheBook().progress; }

void ProgressBook::BattleStarted(uint32_t nowMs)
{
    TheBook().battleStartMs = nowMs;
    TheBook().lastWin.reset();
}

ProgressBook::Win ProgressBook::RecordWin(int stage, uint32_t nowMs)
{
    Book& book = TheBook();
    Win win;
    win.stage = stage;
    win.battleMs = nowMs - book.battleStartMs;
    win.newBest = book.progress.RecordWin(stage, win.battleMs);
    book.lastWin = win;
    if (book.save) book.save(book.progress);
    return win;
}

std::optional<ProgressBook::Win> ProgressBook::LastWin() { return TheBook().lastWin; }
