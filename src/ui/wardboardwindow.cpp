#include "wardboardwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStringListModel>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "aboutdialog.h"
#include "backupwindow.h"
#include "board/boardtexts.h"
#include "board/boardview.h"
#include "board/roomcolour.h"
#include "board/wardlayout.h"
#include "core/appcontext.h"
#include "core/errorlog.h"
#include "core/settingsstore.h"
#include "facilitydialog.h"
#include "helpviewer.h"
#include "historywindow.h"
#include "optionsdialog.h"
#include "passwordbox.h"
#include "patientrecorddialog.h"
#include "popupmenu.h"
#include "printdialog.h"
#include "readmissiondialog.h"
#include "snapshotdeletedialog.h"
#include "staff/accounts.h"
#include "stafflistdialog.h"
#include "statisticswindow.h"

// The toolbar pictures live in the ui library's resources, which a static
// library does not register on its own.
static void initBoardResources()
{
    Q_INIT_RESOURCE(velto);
}

namespace velto {

const QString WardBoardWindow::BedMimeType = QStringLiteral("application/x-velto-bed");

namespace {

// An unexpected failure of a handler goes to the error log; the board stays.
template <class F> void guarded(AppContext &ctx, const char *procedure, F &&f)
{
    try {
        f();
    } catch (const std::exception &) {
        writeErrorLog(ctx, QString::fromLatin1(procedure));
    } catch (...) {
        writeErrorLog(ctx, QString::fromLatin1(procedure));
    }
}

class BedButton : public QPushButton {
public:
    BedButton(WardBoardWindow *board, int bed, QWidget *parent)
        : QPushButton(parent)
        , m_board(board)
        , m_bed(bed)
    {
        setObjectName(QStringLiteral("roomBtn_%1").arg(bed));
        setAutoDefault(false);
        setAcceptDrops(true);
        // The board sizes its beds from the window (boardMetrics), never
        // from their names.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        connect(this, &QPushButton::clicked, this, [this] { m_board->bedClicked(m_bed); });
    }
    // Not measured from the name: the layout asks every bed for its hints at
    // each change of a name, and shaping 240 names made the board slow to
    // open and to change its day. Four full-width characters, as the board's
    // metrics give a bed.
    QSize sizeHint() const override
    {
        const int h = fontMetrics().height();
        return QSize(4 * h + 6, h + 6);
    }
    QSize minimumSizeHint() const override { return QSize(0, 0); }

protected:
    // A white card with a thin border, drawn directly: 240 styled buttons
    // made the board slow to open.
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.fillRect(r, isDown() ? QColor(0xdd, 0xe6, 0xf5) : QColor(Qt::white));
        if (hasFocus()) {
            p.setPen(QPen(QColor(0x1a, 0x55, 0xc0), 2));
            p.drawRect(rect().adjusted(1, 1, -1, -1));
        } else {
            p.setPen(QColor(0x90, 0x90, 0x90));
            p.drawRect(r);
        }
        p.setPen(isEnabled() ? QColor(Qt::black) : QColor(0x80, 0x80, 0x80));
        const QRect textRect = rect().adjusted(3, 0, -3, 0);
        p.drawText(textRect, Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));
    }
    void focusInEvent(QFocusEvent *e) override
    {
        QPushButton::focusInEvent(e);
        m_board->bedFocused(m_bed);
    }
    void dragEnterEvent(QDragEnterEvent *e) override { acceptBed(e); }
    void dragMoveEvent(QDragMoveEvent *e) override { acceptBed(e); }
    void dropEvent(QDropEvent *e) override
    {
        if (!pickedUpBed(e->mimeData()))
            return e->ignore();
        e->acceptProposedAction();
        m_board->dropOnBed(m_bed);
    }

private:
    // Only the bed this board picked up may be dropped here.
    bool pickedUpBed(const QMimeData *data) const
    {
        if (!data || !data->hasFormat(WardBoardWindow::BedMimeType))
            return false;
        bool ok = false;
        const int source = data->data(WardBoardWindow::BedMimeType).toInt(&ok);
        return ok && source == m_board->controller().selectedBed();
    }
    void acceptBed(QDropEvent *e)
    {
        if (pickedUpBed(e->mimeData()))
            e->acceptProposedAction();
        else
            e->ignore();
    }

    WardBoardWindow *m_board;
    int m_bed;
};

// A room: its number at the top (elided, in black or white against the
// room's colour), its occupied beds at the top right, and its colour behind
// its beds. Everything is painted here, so changing the colour does not
// restyle the room's beds.
class RoomLabel : public QLabel {
public:
    using QLabel::QLabel;
    void showState(const QColor &colour, int occupied, bool pastDay)
    {
        if (colour == m_colour && occupied == m_occupied && pastDay == m_pastDay)
            return;
        m_colour = colour;
        m_occupied = occupied;
        m_pastDay = pastDay;
        update();
    }
    void setLabelHeight(int height) { m_labelHeight = height; }
    QColor shownColour() const { return m_pastDay ? mutedRoomColour(m_colour) : m_colour; }
    int occupied() const { return m_occupied; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor colour = shownColour();
        p.fillRect(rect(), colour);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(roomNumberColour(colour));
        const QRect line(6, 0, width() - 12, m_labelHeight);
        const QString count = boardtext::roomOccupancy(m_occupied, BoardModel::BedsPerRoom);
        QFont small = font();
        small.setPixelSize(std::max(MinimumBoardFontPixels - 2, font().pixelSize() * 3 / 4));
        const int countWidth = QFontMetrics(small).horizontalAdvance(count) + 6;
        p.drawText(line.adjusted(0, 0, -countWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, line.width() - countWidth));
        p.setFont(small);
        p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, count);
    }

public:
    QSize sizeHint() const override { return layout() ? layout()->totalSizeHint() : QLabel::sizeHint(); }
    QSize minimumSizeHint() const override { return QSize(0, 0); }

private:
    QColor m_colour;
    int m_occupied = 0;
    bool m_pastDay = false;
    int m_labelHeight = 0;
};

// The rooms' area tells the board its size, so everything in it scales.
class RoomsArea : public QWidget {
public:
    RoomsArea(QWidget *parent, std::function<void(const QSize &)> resized)
        : QWidget(parent)
        , m_resized(std::move(resized))
    { }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        QWidget::resizeEvent(e);
        m_resized(size());
    }

private:
    std::function<void(const QSize &)> m_resized;
};

// Leaving the wall board: the logged-in account's password, in the login
// window's password box.
class LeaveWallDialog : public QDialog {
public:
    LeaveWallDialog(const QString &staffName, QWidget *parent)
        : QDialog(parent)
    {
        setObjectName(QStringLiteral("frmLeaveWall"));
        setWindowTitle(boardtext::LeaveWallCaption);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        auto *prompt = new QLabel(boardtext::LeaveWallPrompt.arg(staffName), this);
        m_password = passwordLineEdit(QStringLiteral("txtPassword"), 10, this);
        auto *ok = new QPushButton(boardtext::LeaveWallOk, this);
        ok->setObjectName(QStringLiteral("cmdOK"));
        ok->setDefault(true);
        auto *cancel = new QPushButton(boardtext::LeaveWallCancel, this);
        cancel->setObjectName(QStringLiteral("cmdCancel"));
        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        auto *v = new QVBoxLayout(this);
        v->addWidget(prompt);
        v->addWidget(m_password);
        v->addLayout(buttons);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    QString password() const { return m_password->text(); }

private:
    QLineEdit *m_password;
};

} // namespace

void openBoard(AppContext &ctx)
{
    WardBoardWindow board(ctx);
    board.exec();
}

RoomNumberEditDialog::RoomNumberEditDialog(const QString &initialText, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(roomnumbertext::Caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *label = new QLabel(roomnumbertext::Prompt, this);
    label->setObjectName(QStringLiteral("Label1"));
    m_text = new QLineEdit(initialText, this);
    m_text->setObjectName(QStringLiteral("txtRoomNo"));
    m_text->setMaxLength(BoardModel::RoomNumberMaxLength);
    m_text->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text->selectAll();
    auto *ok = new QPushButton(roomnumbertext::Ok, this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setToolTip(roomnumbertext::OkTip);
    ok->setDefault(true);
    auto *cancel = new QPushButton(roomnumbertext::Cancel, this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setToolTip(roomnumbertext::CancelTip);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
}

QString RoomNumberEditDialog::text() const
{
    return m_text->text();
}

void RoomNumberEditDialog::accept()
{
    const QString refusal = roomNumberRefusal(m_text->text());
    if (!refusal.isEmpty()) {
        m_prompter.errorMsg(refusal);
        m_text->setFocus();
        return;
    }
    QDialog::accept();
}

WardBoardWindow::WardBoardWindow(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_board(ctx)
{
    initBoardResources();
    setObjectName(QStringLiteral("frmRoom"));
    setWindowTitle(boardtext::WindowCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);

    m_popupRunner = [](QMenu &menu, const QPoint &pos) { menu.exec(pos); };
    m_wallPassword = [this]() -> std::optional<QString> {
        LeaveWallDialog dialog(m_ctx.currentAccount.staffName, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.password();
    };
    m_dragRunner = [](QDrag &drag) { drag.exec(Qt::MoveAction); };
    m_numberDialog = [this](const QString &initial) -> std::optional<QString> {
        RoomNumberEditDialog dialog(initial, *m_ctx.prompter, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.text();
    };
    m_colourDialog = [this](int current) -> std::optional<int> {
        const int chosen = storedFromColour(QColorDialog::getColor(colourFromStored(current), this));
        if (chosen < 0)
            return std::nullopt;
        return chosen;
    };

    buildUi();
    connect(&model(), &BoardModel::bedChanged, this, &WardBoardWindow::showBed);
    connect(&model(), &BoardModel::roomChanged, this, &WardBoardWindow::showRoom);
    // Another terminal's change: never under an open question, menu,
    // record window or drag; shown as soon as the user is done.
    const auto userBusy = [this] {
        QWidget *modal = QApplication::activeModalWidget();
        return (modal && modal != this) || QApplication::activePopupWidget() || m_dragging;
    };
    m_board.setHoldCheck(userBusy);
    m_board.setReloadedCallback([this] {
        fillDateBox(m_board.dates(), m_board.displayDateIndex());
        updateCommandStates();
    });
    if (m_ctx.store->dataFolder().isEmpty()) {
        // Only a ward shared with other terminals has changes to hold back.
        auto *release = new QTimer(this);
        release->setInterval(200);
        connect(release, &QTimer::timeout, this, [this, userBusy] { m_board.setHeld(userBusy()); });
        release->start();
    }
    resize(sizeHint().expandedTo(QSize(1100, 760)));
    guarded(m_ctx, "frmRoom.Form_Load()", [this] { loadBoard(); });
}

WardBoardWindow::~WardBoardWindow() = default;

void WardBoardWindow::buildUi()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *bar = new QMenuBar(this);
    buildMenuBar(bar);
    layout->setMenuBar(bar);
    m_menuBar = bar;

    auto *tools = new QToolBar(this);
    m_toolBar = tools;
    tools->setObjectName(QStringLiteral("Toolbar1"));
    buildToolBar(tools);
    layout->addWidget(tools);

    auto *dateRow = new QHBoxLayout;
    dateRow->setContentsMargins(8, 4, 8, 4);
    auto *dateLabel = new QLabel(boardtext::DateLabel, this);
    dateLabel->setObjectName(QStringLiteral("Label2"));
    m_dateBox = new QComboBox(this);
    m_dateBox->setObjectName(QStringLiteral("cmbDate"));
    // Years of snapshots cost only the dates on screen: one list of strings
    // (no item objects), the box as wide as the widest date rather than
    // measured over every entry, and rows of one height.
    m_dateModel = new QStringListModel(this);
    m_dateBox->setModel(m_dateModel);
    if (auto *view = qobject_cast<QListView *>(m_dateBox->view()))
        view->setUniformItemSizes(true);
    {
        const QFontMetrics fm = m_dateBox->fontMetrics();
        const int widest = fm.horizontalAdvance(QStringLiteral("令和88年88月88日"));
        m_dateBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_dateBox->setMinimumContentsLength(widest / qMax(1, fm.horizontalAdvance(QLatin1Char('x'))) + 1);
    }
    m_todayButton = new QPushButton(boardtext::TodayButton, this);
    m_todayButton->setObjectName(QStringLiteral("cmdToday"));
    m_todayButton->setToolTip(boardtext::TodayButtonTip);
    m_todayButton->setAutoDefault(false);
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(m_dateBox);
    dateRow->addWidget(m_todayButton);
    // A past day's banner, in the date row so the rooms never move when the
    // day changes: empty and clear on today.
    m_snapshotBanner = new QLabel(this);
    m_snapshotBanner->setObjectName(QStringLiteral("lblSnapshotDay"));
    m_snapshotBanner->setAlignment(Qt::AlignCenter);
    m_snapshotBanner->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QPalette bannerColours = m_snapshotBanner->palette();
    bannerColours.setColor(QPalette::Window, QColor(0x1f, 0x4e, 0x8c));
    bannerColours.setColor(QPalette::WindowText, Qt::white);
    m_snapshotBanner->setPalette(bannerColours);
    QFont bannerFont = m_snapshotBanner->font();
    bannerFont.setBold(true);
    m_snapshotBanner->setFont(bannerFont);
    dateRow->addSpacing(12);
    dateRow->addWidget(m_snapshotBanner, 1);
    dateRow->addSpacing(12);
    m_occupancy = new QLabel(this);
    m_occupancy->setObjectName(QStringLiteral("lblOccupancy"));
    QFont bold = m_occupancy->font();
    bold.setBold(true);
    m_occupancy->setFont(bold);
    dateRow->addWidget(m_occupancy);
    m_dateRow = new QWidget(this);
    m_dateRow->setLayout(dateRow);
    layout->addWidget(m_dateRow);
    // Shown only while the board is read-only: nobody should think a change
    // was kept when the board cannot save.
    m_readOnlyBanner = new QLabel(this);
    m_readOnlyBanner->setObjectName(QStringLiteral("lblReadOnly"));
    m_readOnlyBanner->setWordWrap(true);
    m_readOnlyBanner->setContentsMargins(8, 4, 8, 4);
    m_readOnlyBanner->setStyleSheet(QStringLiteral("background:#b00020;color:white;font-weight:bold;"));
    m_readOnlyBanner->hide();
    layout->addWidget(m_readOnlyBanner);
    layout->addWidget(buildRooms(), 1);

    connect(m_dateBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (!m_fillingDates && index >= 0)
            changeDisplayDate(index);
    });
    connect(m_todayButton, &QPushButton::clicked, this,
            [this] { guarded(m_ctx, "frmRoom.cmdToday_Click()", [this] { m_dateBox->setCurrentIndex(0); }); });

    m_popup = new BedPopupMenu(m_ctx.programPath(QStringLiteral(".")), this);
    for (const BoardCommandRow &row : commandsOn(BoardOrigin::PopupMenu))
        bindCommand(m_popup->item(QString::fromLatin1(row.popup.objectName)), row.command, BoardOrigin::PopupMenu);
}

void WardBoardWindow::buildMenuBar(QMenuBar *bar)
{
    QHash<QString, QMenu *> menus;
    for (const MenuTitle &m : menuBarMenus()) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(QString::fromLatin1(m.objectName));
        menus.insert(menu->objectName(), menu);
    }
    for (const BoardCommandRow &row : commandsOn(BoardOrigin::MenuBar)) {
        const CommandPlacement &p = row.menuBar;
        QMenu *menu = menus.value(QString::fromLatin1(p.menu));
        if (*p.separatorBefore)
            menu->addSeparator()->setObjectName(QString::fromLatin1(p.separatorBefore));
        QAction *a = menu->addAction(QString::fromUtf8(p.caption));
        a->setObjectName(QString::fromLatin1(p.objectName));
        if (*p.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(p.shortcut)));
        bindCommand(a, row.command, BoardOrigin::MenuBar);
    }
}

void WardBoardWindow::buildToolBar(QToolBar *bar)
{
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    int group = 0;
    for (const BoardCommandRow &row : commandsOn(BoardOrigin::Toolbar)) {
        const CommandPlacement &p = row.toolbar;
        if (group != 0 && p.group != group)
            bar->addSeparator();
        group = p.group;
        const QString key = QString::fromLatin1(p.objectName);
        const QString tooltip = QString::fromUtf8(p.caption);
        QAction *a = bar->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(key)), tooltip);
        a->setObjectName(key);
        a->setToolTip(tooltip);
        bindCommand(a, row.command, BoardOrigin::Toolbar);
    }
}

void WardBoardWindow::bindCommand(QAction *action, BoardCommand command, BoardOrigin surface)
{
    if (!action)
        return;
    m_commandActions.append({action, command, surface});
    connect(action, &QAction::triggered, this, [this, command, surface] { runCommand(command, surface); });
}

QAction *WardBoardWindow::commandAction(BoardCommand command, BoardOrigin surface) const
{
    for (const CommandAction &c : m_commandActions)
        if (c.command == command && c.surface == surface)
            return c.action;
    return nullptr;
}

QAction *WardBoardWindow::menuItem(const QString &name) const
{
    for (const CommandAction &c : m_commandActions)
        if (c.surface == BoardOrigin::MenuBar && c.action->objectName() == name)
            return c.action;
    return nullptr;
}

QAction *WardBoardWindow::toolButton(const QString &key) const
{
    for (const CommandAction &c : m_commandActions)
        if (c.surface == BoardOrigin::Toolbar && c.action->objectName() == key)
            return c.action;
    return nullptr;
}

QWidget *WardBoardWindow::buildRooms()
{
    auto *area = new RoomsArea(this, [this](const QSize &size) {
        applyMetrics(boardMetrics(size));
        // The pixels that do not divide evenly go to the right and bottom
        // margins, so every room is exactly the same size.
        const int s = m_metrics.roomSpacing;
        const int rows = BoardModel::RoomCount / BoardModel::RoomColumns;
        const int spareX = (size.width() - (BoardModel::RoomColumns + 1) * s) % BoardModel::RoomColumns;
        const int spareY = (size.height() - (rows + 1) * s) % rows;
        m_roomGrid->setContentsMargins(s, s, s + std::max(0, spareX), s + std::max(0, spareY));
    });
    area->setObjectName(QStringLiteral("rooms"));
    // Small enough for a laptop, never so small that a name cannot show.
    area->setMinimumSize(BoardModel::RoomColumns * 110, 5 * 90);
    auto *grid = new QGridLayout(area);
    m_roomGrid = grid;
    // Every column and row the same size, whatever the names.
    for (int c = 0; c < BoardModel::RoomColumns; ++c)
        grid->setColumnStretch(c, 1);
    for (int r = 0; r < BoardModel::RoomCount / BoardModel::RoomColumns; ++r)
        grid->setRowStretch(r, 1);
    for (int room = 0; room < BoardModel::RoomCount; ++room) {
        auto *label = new RoomLabel(area);
        label->setObjectName(QStringLiteral("Label1_%1").arg(room));
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        auto *beds = new QGridLayout(label);
        for (int k = 0; k < BoardModel::BedsPerRoom; ++k) {
            const int bed = room * BoardModel::BedsPerRoom + k;
            auto *button = new BedButton(this, bed, label);
            beds->addWidget(button, k / 2, k % 2);
            m_beds.append(button);
        }
        grid->addWidget(label, room / BoardModel::RoomColumns, room % BoardModel::RoomColumns);
        m_rooms.append(label);
    }
    return area;
}

void WardBoardWindow::loadBoard()
{
    BusyGuard busy(m_ctx.busy);
    m_board.load();
    fillDateBox(m_board.dates(), m_board.displayDateIndex());
    showAll();
    busy.release();
    updateCommandStates();
}

void WardBoardWindow::fillDateBox(const QStringList &dates, int current)
{
    m_fillingDates = true;
    m_dateModel->setStringList(dates);
    m_dateBox->setCurrentIndex(qBound(-1, current, int(dates.size()) - 1));
    m_fillingDates = false;
}

void WardBoardWindow::setDateList(const QStringList &dates)
{
    const bool wasToday = m_board.showsToday();
    m_board.setDates(dates);
    fillDateBox(dates, 0);
    if (!wasToday)
        changeDisplayDate(0);
}

void WardBoardWindow::changeDisplayDate(int index)
{
    guarded(m_ctx, "frmRoom.cmbDate_Click()", [this, index] {
        const bool changed = m_board.changeDisplayDate(index);
        if (!changed || m_dateBox->currentIndex() != m_board.displayDateIndex()) {
            // Today could not be saved: the board stays where it was.
            m_fillingDates = true;
            m_dateBox->setCurrentIndex(m_board.displayDateIndex());
            m_fillingDates = false;
        }
    });
    updateCommandStates();
}

QPushButton *WardBoardWindow::bedButton(int bed) const
{
    return BoardModel::isBed(bed) ? m_beds.at(bed) : nullptr;
}

void WardBoardWindow::applyMetrics(const BoardMetrics &m)
{
    if (m.fontPixels == m_metrics.fontPixels && m.labelHeight == m_metrics.labelHeight)
        return;
    m_metrics = m;
    QFont f = font();
    f.setPixelSize(m.fontPixels);
    m_roomGrid->setSpacing(m.roomSpacing);
    for (QLabel *label : std::as_const(m_rooms)) {
        label->setFont(f);
        static_cast<RoomLabel *>(label)->setLabelHeight(m.labelHeight);
        label->layout()->setContentsMargins(m.padding, m.labelHeight, m.padding, m.padding);
        label->layout()->setSpacing(m.bedSpacing);
    }
    for (QPushButton *b : std::as_const(m_beds))
        b->setFont(f);
}

int WardBoardWindow::bedFontPixels() const
{
    return m_beds.isEmpty() ? 0 : m_beds.first()->font().pixelSize();
}

bool WardBoardWindow::namesHidden() const
{
    return m_ctx.settings && m_ctx.settings->value(displaykey::Section, displaykey::HideNames) == QLatin1String("1");
}

void WardBoardWindow::showBed(int bed)
{
    if (QPushButton *b = bedButton(bed)) {
        const bool hide = namesHidden();
        b->setText(shownBedCaption(model(), bed, hide));
        b->setToolTip(shownBedTooltip(model(), bed, hide));
        showRoom(BoardModel::roomOf(bed)); // its count
    }
}

void WardBoardWindow::showRoom(int room)
{
    if (!BoardModel::isRoom(room))
        return;
    QLabel *label = m_rooms.at(room);
    if (label->text() != model().roomNumber(room)) {
        label->setText(model().roomNumber(room));
        label->setToolTip(model().roomNumber(room)); // in full, however narrow the room
    }
    static_cast<RoomLabel *>(label)->showState(colourFromStored(model().roomColour(room)),
                                               occupiedBedsInRoom(model(), room), !m_board.showsToday());
}

void WardBoardWindow::showAll()
{
    for (int bed = 0; bed < BoardModel::BedCount; ++bed)
        showBed(bed);
    for (int room = 0; room < BoardModel::RoomCount; ++room)
        showRoom(room);
}

QColor WardBoardWindow::shownRoomColour(int room) const
{
    return BoardModel::isRoom(room) ? static_cast<RoomLabel *>(m_rooms.at(room))->shownColour() : QColor();
}

void WardBoardWindow::updateCommandStates()
{
    const QString readOnly = layoutReadOnlyText(m_ctx);
    if (m_readOnlyBanner->text() != readOnly)
        m_readOnlyBanner->setText(readOnly);
    m_readOnlyBanner->setVisible(!readOnly.isEmpty());
    // A past day is unmistakable: its banner, and its rooms washed out.
    const bool pastDay = !m_board.showsToday();
    const QString dayText
        = pastDay ? boardtext::snapshotBanner(m_board.dates().value(m_board.displayDateIndex())) : QString();
    if (m_snapshotBanner->text() != dayText) {
        m_snapshotBanner->setText(dayText);
        for (int room = 0; room < BoardModel::RoomCount; ++room)
            showRoom(room);
    }
    m_snapshotBanner->setAutoFillBackground(pastDay);
    const int occupied = occupiedBeds(model());
    m_occupancy->setText(boardtext::occupancy(occupied, BoardModel::BedCount - occupied));
    BusyGuard busy(m_ctx.busy);
    guarded(m_ctx, "frmRoom.SetMenu()", [this] {
        const BoardState state = m_board.state();
        for (const CommandAction &c : m_commandActions)
            c.action->setEnabled(commandEnabled(c.command, state));
    });
}

void WardBoardWindow::runCommand(BoardCommand command, BoardOrigin surface)
{
    // A shortcut or a scripted trigger may reach a disabled command.
    if (!m_board.isEnabled(command))
        return;
    if (m_wallMode && command != BoardCommand::WallMode)
        return; // the wall board only shows
    const int bed = m_board.selectedBed();
    switch (command) {
    case BoardCommand::Close:
        close();
        return;
    case BoardCommand::MoveBed:
        startBedMove(bed);
        break;
    case BoardCommand::EditRecord:
        openRecord(bed);
        break;
    case BoardCommand::Discharge:
        m_board.discharge(bed);
        break;
    case BoardCommand::Readmit:
        readmit(bed);
        break;
    case BoardCommand::Erase:
        m_board.erase(bed);
        break;
    case BoardCommand::RoomNumber:
        m_board.setRoomNumber(bed, surface, m_numberDialog);
        break;
    case BoardCommand::RoomColour:
        m_board.setRoomColour(bed, surface, m_colourDialog);
        break;
    case BoardCommand::Facility:
        runFacilityForm(m_ctx, this, false);
        break;
    case BoardCommand::Staff:
        openStaffList(m_ctx, this);
        break;
    case BoardCommand::Options:
        runOptions(m_ctx, this);
        showAll(); // names hidden or shown
        break;
    case BoardCommand::Backup:
        makeBackup();
        break;
    case BoardCommand::DeleteBackups:
        deleteBackups();
        break;
    case BoardCommand::History:
        openHistoryWindow(m_ctx, this);
        return;
    case BoardCommand::Statistics:
        openStatisticsWindow(m_ctx, this);
        return;
    case BoardCommand::Help:
        showHelp();
        return;
    case BoardCommand::About:
        showAbout();
        return;
    case BoardCommand::WallMode:
        setWallMode(!m_wallMode);
        return;
    case BoardCommand::DismissMenu:
        return;
    }
    updateCommandStates();
}

void WardBoardWindow::bedClicked(int bed)
{
    if (m_wallMode)
        return; // read from across the room, never changed there
    if (!m_board.selectBed(bed))
        return;
    updateCommandStates();
    showPopupMenu();
}

void WardBoardWindow::bedFocused(int bed)
{
    if (!m_board.selectBed(bed))
        return;
    updateCommandStates();
}

bool WardBoardWindow::dropOnBed(int target)
{
    const bool changed = m_board.moveBed(m_board.selectedBed(), target);
    updateCommandStates();
    return changed;
}

void WardBoardWindow::showPopupMenu()
{
    // At the mouse pointer even when the bed was clicked with the keyboard.
    if (m_popupRunner)
        m_popupRunner(*m_popup, QCursor::pos());
}

void WardBoardWindow::openRecord(int bed)
{
    RecordHost host;
    host.bedEntry = model().bedEntry(bed);
    host.today = m_board.showsToday();
    host.snapshotFolder = m_board.snapshotFolder();
    host.canSave = m_ctx.layoutFault.isEmpty() && m_ctx.storeFault.isEmpty();
    host.onSaved = [this, bed](const QString &key, const QString &) { m_board.recordSaved(bed, key); };
    host.layoutWithKey
        = [this, bed](const QString &key, WardChange *change) { return m_board.layoutWithBedEntry(bed, key, change); };
    // One record file per patient: another bed's patient is never overwritten.
    host.keyTakenByOtherBed = [this, bed](const QString &key) { return m_board.keyTakenByOtherBed(bed, key); };
    const QString helpDir = m_ctx.programPath(QStringLiteral("help"));
    host.showHelp = [helpDir](QWidget *owner) { HelpViewer::showHelp(owner, helpDir, HelpViewer::Index); };
    host.print = [this](QWidget *w) {
        if (auto *record = qobject_cast<PatientRecordDialog *>(w))
            openPrintDialog(m_ctx, record->record(), w);
    };
    PatientRecordDialog record(m_ctx, std::move(host), this);
    record.exec();
}

QString WardBoardWindow::readOnlyText() const
{
    return m_readOnlyBanner->isVisibleTo(this) ? m_readOnlyBanner->text() : QString();
}

void WardBoardWindow::startBedMove(int bed)
{
    if (!m_board.canStartMove(bed))
        return;
    QPushButton *source = m_beds.at(bed);
    auto *mime = new QMimeData;
    mime->setData(BedMimeType, QByteArray::number(bed));
    auto *drag = new QDrag(source);
    drag->setMimeData(mime);
    drag->setPixmap(source->grab());
    drag->setHotSpot(QPoint(source->width() / 2, source->height() / 2));
    m_dragging = true;
    m_dragRunner(*drag);
    m_dragging = false;
}

void WardBoardWindow::readmit(int bed)
{
    runReadmit(m_ctx, model(), bed, this);
}

void WardBoardWindow::makeBackup()
{
    runManualBackup(m_ctx, this);
    setDateList(m_board.currentDateList());
}

void WardBoardWindow::deleteBackups()
{
    const QStringList dates = runBackupDelete(m_ctx, this);
    if (!dates.isEmpty())
        setDateList(dates);
}

void WardBoardWindow::setRoomDialogs(RoomNumberDialog number, RoomColourDialog colour)
{
    m_numberDialog = std::move(number);
    m_colourDialog = std::move(colour);
}

void WardBoardWindow::showHelp()
{
    HelpViewer::showHelp(this, m_ctx.programPath(QStringLiteral("help")), HelpViewer::Contents);
}

void WardBoardWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

bool WardBoardWindow::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded(m_ctx, "frmRoom.Form_Activate()", [this] { updateCommandStates(); });
    return QDialog::event(e);
}

void WardBoardWindow::keyPressEvent(QKeyEvent *e)
{
    if (m_wallMode && (e->key() == Qt::Key_Escape || e->key() == Qt::Key_F11)) {
        setWallMode(false);
        return;
    }
    // The board closes only by its close box, the menu and the toolbar.
    if (e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool WardBoardWindow::setWallMode(bool on)
{
    if (on == m_wallMode)
        return true;
    if (!on) {
        // Only the nurse logged in takes the board off the wall.
        const std::optional<QString> typed = m_wallPassword();
        if (!typed)
            return false;
        if (!passwordMatches(m_ctx, m_ctx.currentAccount.password, *typed)) {
            m_ctx.prompter->errorMsg(boardtext::LeaveWallWrong);
            return false;
        }
    }
    m_wallMode = on;
    m_popup->close();
    m_menuBar->setVisible(!on);
    m_toolBar->setVisible(!on);
    // The wall keeps the day's counts, not the date controls.
    for (QWidget *w : m_dateRow->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->setVisible(!on || w == m_occupancy || w == m_snapshotBanner);
    for (QPushButton *b : std::as_const(m_beds))
        b->setFocusPolicy(on ? Qt::NoFocus : Qt::StrongFocus);
    setAcceptDrops(!on);
    if (on) {
        setFocus(); // no bed looks chosen on the wall
        m_windowStateBeforeWall = windowState();
        setWindowState(windowState() | Qt::WindowFullScreen);
    } else {
        setWindowState(m_windowStateBeforeWall);
    }
    updateCommandStates();
    return true;
}

void WardBoardWindow::closeEvent(QCloseEvent *e)
{
    if (!m_closed) {
        m_closed = true;
        guarded(m_ctx, "frmRoom.Form_Unload()", [this] { finishClosing(); });
    }
    QDialog::closeEvent(e);
}

void WardBoardWindow::finishClosing()
{
    m_popup->close();
    if (m_board.close())
        runAutoBackup(m_ctx, this);
}

} // namespace velto
