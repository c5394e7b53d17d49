#pragma once
// The board's state (the model, the selected bed, the display dates) and
// the operations the board window asks for. Every operation acts on the
// bed it is given; the window passes the selected one.
#include <QStringList>
#include <functional>

#include "bedops.h"
#include "boardcommands.h"
#include "boardmodel.h"
#include "store/wardstore.h"

namespace velto {
struct AppContext;

class BoardController {
public:
    explicit BoardController(AppContext &ctx);
    ~BoardController();
    BoardController(const BoardController &) = delete;
    BoardController &operator=(const BoardController &) = delete;

    AppContext &context() { return m_ctx; }
    BoardModel &model() { return m_model; }
    const BoardModel &model() const { return m_model; }

    // Today's board: the first bed selected, the date list rebuilt and
    // today's layout read.
    void load();

    int selectedBed() const { return m_selectedBed; }
    // Beds outside the board are ignored; returns whether bed was taken.
    bool selectBed(int bed);

    // Today first, then the snapshots.
    const QStringList &dates() const { return m_dates; }
    int displayDateIndex() const;
    bool showsToday() const { return displayDateIndex() == 0; }
    // False when the board stays where it was (today could not be saved).
    bool changeDisplayDate(int index);
    // A new list after a snapshot was made or deleted.
    void setDates(const QStringList &dates) { m_dates = dates; }
    QStringList currentDateList() const;
    // Folder of the display date's layout ("DB" or the snapshot's).
    QString snapshotFolder() const { return showsToday() ? QString() : m_dates.value(displayDateIndex()); }

    BoardState state() const;
    bool isEnabled(BoardCommand command) const { return commandEnabled(command, state()); }

    bool canStartMove(int bed) const;
    bool moveBed(int source, int target);
    bool discharge(int bed);
    bool erase(int bed);
    bool setRoomNumber(int bed, BoardOrigin origin, const RoomNumberDialog &dialog);
    bool setRoomColour(int bed, BoardOrigin origin, const RoomColourDialog &dialog);
    // A record saved for bed: it names the record's key from now on.
    void recordSaved(int bed, const QString &key);
    // The layout with bed naming key instead, for a record save.
    bool layoutWithBedEntry(int bed, const QString &key, WardChange *change);
    // Whether a bed other than bed holds key.
    bool keyTakenByOtherBed(int bed, const QString &key) const;

    // Another terminal changed the ward (the database store): today's board
    // is read again, at once or, while held, as soon as it is released. A
    // snapshot day on the board stays as it is.
    void otherTerminalChanged();
    // What the store tells: another terminal's change, the server lost or back.
    void storeEvent(WardStore::Event event);
    // Held while the user is in the middle of a change (a question, the
    // record window, a drag), so that the board never changes under a
    // decision; the change is then checked against what the user saw.
    void setHeld(bool held);
    // Called after the board was read again, for the window to show the rest.
    void setReloadedCallback(std::function<void()> callback) { m_onReloaded = std::move(callback); }
    // Asked when another terminal's change arrives: true holds it back.
    void setHoldCheck(std::function<bool()> check) { m_holdCheck = std::move(check); }

    // Writes today's layout; false when it was not written.
    bool saveLayout();
    // The board closes: today's layout is written when the account may write
    // it. Returns whether the automatic backup is due now.
    bool close();

private:
    AppContext &m_ctx;
    BoardModel m_model;
    QStringList m_dates;
    int m_selectedBed = 0;
    bool m_held = false;
    bool m_reloadPending = false;
    bool m_changedWhileAway = false; // another terminal's change while a past day was shown
    std::function<void()> m_onReloaded;
    std::function<bool()> m_holdCheck;
};

} // namespace velto
