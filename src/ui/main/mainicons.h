#pragma once
// The pictures of the main window, drawn once at the size asked: toolbar
// buttons, grid images and the due indicator. Drawn rather than shipped so
// they stay sharp at any scale and need no image files.

#include <QIcon>
#include <QList>

namespace velto::icons {

enum class Kind {
    NewRow,
    EditRow,
    ToggleDone,
    DeleteRow,
    Accounts,
    Print,
    Export,
    Options,
    ExpandAll,
    CollapseAll,
    LayoutSimple,
    LayoutDate,
    LayoutMonth,
    LayoutAccount,
    Credit,
    Debit,
    Appointment,
    Series,
    NothingDue,
    SomethingDue,
    Account,
    AppPicture,
    Undo,
    Redo
};

[[nodiscard]] QIcon icon(Kind kind, bool closed = false);
// The deadline grid's 13 images: 5/6/7 open credit/debit/appointment, 9
// open series member, 10/11/12 closed debit/credit/appointment, 13 closed
// series member; the others are blank.
[[nodiscard]] QList<QIcon> gridImages();

} // namespace velto::icons
