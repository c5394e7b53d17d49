#pragma once
// The ward board: 30 rooms of 8 beds, the display date, the menu bar,
// the toolbar and the popup menu of a bed.
#include <QDialog>
#include <QList>
#include <QPushButton>
#include <functional>
#include <optional>

#include "board/boardcommands.h"
#include "board/boardcontroller.h"
#include "board/boardview.h"

class QAction;
class QComboBox;
class QStringListModel;
class QDrag;
class QGridLayout;
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
void openBoard(AppContext &ctx);

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

    explicit WardBoardWindow(AppContext &ctx, QWidget *parent = nullptr);
    ~WardBoardWindow() override;

    BoardController &controller() { return m_board; }
    BoardModel &model() { return m_board.model(); }
    const QStringList &dateList() const { return m_board.dates(); }

    // The action showing command on surface; null when it is not shown there.
    QAction *commandAction(BoardCommand command, BoardOrigin surface) const;
    // Menu bar items and toolbar buttons by objectName.
    QAction *menuItem(const QString &name) const;
    QAction *toolButton(const QString &key) const;
    BedPopupMenu *popupMenu() const { return m_popup; }
    QPushButton *bedButton(int bed) const;

    // Enables every command's actions by the board's state, and shows or
    // hides the read-only banner.
    void updateCommandStates();
    // Runs command as chosen on surface, when it is enabled.
    void runCommand(BoardCommand command, BoardOrigin surface);
    // Change of display date to entry index of the date box.
    void changeDisplayDate(int index);
    // Refills the date box (today first) and shows today.
    void setDateList(const QStringList &dates);

    // Bed events: a click opens the popup menu, the focus only selects.
    void bedClicked(int bed);
    void bedFocused(int bed);
    // End of a bed move on target.
    bool dropOnBed(int target);

    // The board's read-only reason as shown; empty while it can change.
    QString readOnlyText() const;

    // Seams for what blocks (tests script them).
    using PopupRunner = std::function<void(QMenu &menu, const QPoint &globalPos)>;
    void setPopupRunner(PopupRunner runner) { m_popupRunner = std::move(runner); }
    using DragRunner = std::function<void(QDrag &drag)>;
    void setDragRunner(DragRunner runner) { m_dragRunner = std::move(runner); }
    void setRoomDialogs(RoomNumberDialog number, RoomColourDialog colour);
    // The password typed to leave the wall board; nullopt: cancelled.
    using WallPassword = std::function<std::optional<QString>()>;
    void setWallPasswordAsker(WallPassword asker) { m_wallPassword = std::move(asker); }

    // The wall board: full screen, no menus, read-only whatever the account.
    // Leaving it asks for the logged-in account's password; false when it
    // stays on.
    bool setWallMode(bool on);
    bool wallMode() const { return m_wallMode; }
    // Sizes the rooms and beds for the rooms' area (it calls this itself).
    void applyMetrics(const BoardMetrics &metrics);
    int bedFontPixels() const;
    // A room's colour as painted (washed out on a past day).
    QColor shownRoomColour(int room) const;
    // Reads the privacy preference again and shows every bed and room.
    void showAll();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    struct CommandAction {
        QAction *action;
        BoardCommand command;
        BoardOrigin surface;
    };

    void buildUi();
    void buildMenuBar(QMenuBar *bar);
    void buildToolBar(QToolBar *bar);
    QWidget *buildRooms();
    void bindCommand(QAction *action, BoardCommand command, BoardOrigin surface);
    void loadBoard();
    void finishClosing();
    void fillDateBox(const QStringList &dates, int current);
    void showBed(int bed);
    void showRoom(int room);
    bool namesHidden() const;
    void showPopupMenu();
    void openRecord(int bed);
    void startBedMove(int bed);
    void readmit(int bed);
    void makeBackup();
    void deleteBackups();
    void showHelp();
    void showAbout();

    AppContext &m_ctx;
    BoardController m_board;
    bool m_dragging = false;
    QComboBox *m_dateBox = nullptr;
    QStringListModel *m_dateModel = nullptr;
    QPushButton *m_todayButton = nullptr;
    QLabel *m_readOnlyBanner = nullptr;
    QLabel *m_snapshotBanner = nullptr;
    QLabel *m_occupancy = nullptr;
    QWidget *m_dateRow = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QToolBar *m_toolBar = nullptr;
    QGridLayout *m_roomGrid = nullptr;
    BoardMetrics m_metrics;
    bool m_wallMode = false;
    Qt::WindowStates m_windowStateBeforeWall;
    WallPassword m_wallPassword;
    QVector<QPushButton *> m_beds;
    QVector<QLabel *> m_rooms;
    QList<CommandAction> m_commandActions;
    BedPopupMenu *m_popup = nullptr;
    PopupRunner m_popupRunner;
    DragRunner m_dragRunner;
    RoomNumberDialog m_numberDialog;
    RoomColourDialog m_colourDialog;
    bool m_fillingDates = false;
    bool m_closed = false;
};

} // namespace velto
