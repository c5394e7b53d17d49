#pragma once
// The ward board: 30 rooms of 8 beds, the display date, the menu bar,
// the toolbar and the popup menu of a bed.
#include <QDialog>
#include <QHash>
#include <QPushButton>
#include <QStringList>
#include <functional>

#include "board/bedops.h"
#include "board/boardmodel.h"
#include "boardactions.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QToolBar;

namespace velto {
struct AppContext;
class BedPopupMenu;
class Prompter;

// Opens the board modally; returns when it has closed.
void openBoard(AppContext &ctx, const BoardActions &actions);

// Room number dialog. OK refuses a number the layout file cannot hold: the
// message goes to prompter and the dialog stays open with the typing.
class RoomNumberEditDialog : public QDialog {
    Q_OBJECT
public:
    RoomNumberEditDialog(const QString &initialText, Prompter &prompter, QWidget *parent = nullptr);
    QString text() const;
    void accept() override;

private:
    QLineEdit *m_text;
    Prompter &m_prompter;
};

class WardBoardWindow : public QDialog {
    Q_OBJECT
public:
    // Mime type of a bed picked up for a move; the data is the bed's index.
    static const QString BedMimeType;

    WardBoardWindow(AppContext &ctx, BoardActions actions = {}, QWidget *parent = nullptr);
    ~WardBoardWindow() override;

    AppContext &context() { return m_ctx; }
    BoardModel &model() { return m_model; }
    const QStringList &dateList() const { return m_dates; }

    // Menu bar items by name, toolbar buttons by key, popup items by name.
    QAction *menuItem(const QString &name) const { return m_menuItems.value(name); }
    QAction *toolButton(const QString &key) const { return m_toolButtons.value(key); }
    BedPopupMenu *popupMenu() const { return m_popup; }
    QPushButton *bedButton(int bed) const;

    // Recomputes which items are enabled (bedMenuStates and menuBarStates).
    void refreshRights();
    // Change of display date to entry index of cmbDate.
    void changeDisplayDate(int index);
    // Refills cmbDate (today first) and shows today; after a snapshot deletion.
    void setDateList(const QStringList &dates);
    void rebuildDateList();
    // Writes today's layout; false when it was not written.
    bool saveLayout();

    // Bed events: a click opens the popup menu, the focus only selects.
    void bedClicked(int bed);
    void bedFocused(int bed);
    // End of a bed move on target.
    bool dropOnBed(int target);

    void showPopupMenu();
    void openRecord();
    // A record saved for bed: it takes the key, and today's layout is written.
    void recordSaved(int bed, const QString &key);
    // The board's read-only reason as shown; empty while it can change.
    QString readOnlyText() const;
    void startBedMove();
    void roomNumber(BoardOrigin origin);
    void roomColour(BoardOrigin origin);
    void showHelp();
    void showAbout();

    // Seams for the dialogs that block (tests script them).
    using PopupRunner = std::function<void(QMenu &menu, const QPoint &globalPos)>;
    void setPopupRunner(PopupRunner runner) { m_popupRunner = std::move(runner); }
    void setRoomDialogs(RoomNumberDialog number, RoomColourDialog colour);

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void buildUi();
    void buildMenuBar(QMenuBar *bar);
    void buildToolBar(QToolBar *bar);
    QWidget *buildRooms();
    void connectActions();
    void formLoad();
    void formUnload();
    void fillDates(const QStringList &dates);
    void showBed(int bed);
    void showRoom(int room);
    void discharge(BoardOrigin origin);
    void erase(BoardOrigin origin);
    void readmit(BoardOrigin origin);
    void run(const std::function<void(WardBoardWindow &)> &action);

    AppContext &m_ctx;
    BoardActions m_actions;
    BoardModel m_model;
    QStringList m_dates;
    QComboBox *m_cmbDate = nullptr;
    QPushButton *m_cmdToday = nullptr;
    QLabel *m_readOnlyBanner = nullptr;
    QVector<QPushButton *> m_beds;
    QVector<QLabel *> m_rooms;
    QHash<QString, QAction *> m_menuItems;
    QHash<QString, QAction *> m_toolButtons;
    BedPopupMenu *m_popup = nullptr;
    PopupRunner m_popupRunner;
    RoomNumberDialog m_numberDialog;
    RoomColourDialog m_colourDialog;
    bool m_filling = false;
    bool m_unloaded = false;
};

} // namespace velto
