#include "wardboardwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

#include "board/boardrights.h"
#include "board/boardtexts.h"
#include "board/wardlayout.h"
#include "core/appcontext.h"
#include "core/errorlog.h"
#include "aboutdialog.h"
#include "patientrecorddialog.h"
#include "stafflistdialog.h"
#include "helpviewer.h"
#include "popupmenu.h"

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

QColor toColor(int stored)
{
    return QColor(BoardModel::red(stored), BoardModel::green(stored), BoardModel::blue(stored));
}

class BedButton : public QPushButton {
public:
    BedButton(WardBoardWindow *board, int bed, QWidget *parent) : QPushButton(parent), m_board(board), m_bed(bed)
    {
        setObjectName(QStringLiteral("roomBtn_%1").arg(bed));
        setAutoDefault(false);
        setAcceptDrops(true);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setMinimumSize(64, fontMetrics().height() + 8);
        connect(this, &QPushButton::clicked, this, [this] { m_board->bedClicked(m_bed); });
    }

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
        return ok && source == m_board->context().selectedBed;
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

// A room: its number on top, its colour behind the beds. A label sizes
// itself by its text alone, so the beds' layout is asked instead.
// A room: its number at the top and its colour behind its beds. The colour
// is painted here, so changing it does not restyle the room's beds.
class RoomLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setColour(const QColor &c)
    {
        if (c == property("roomColour").value<QColor>())
            return;
        setProperty("roomColour", c);
        update();
    }

protected:
    void paintEvent(QPaintEvent *e) override
    {
        {
            QPainter p(this);
            p.fillRect(rect(), property("roomColour").value<QColor>());
            p.setPen(QColor(0x80, 0x80, 0x80));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
        QLabel::paintEvent(e);
    }

public:
    QSize sizeHint() const override { return layout() ? layout()->totalSizeHint() : QLabel::sizeHint(); }
    QSize minimumSizeHint() const override
    {
        return layout() ? layout()->totalMinimumSize() : QLabel::minimumSizeHint();
    }
};

} // namespace

void openBoard(AppContext &ctx, const BoardActions &actions)
{
    WardBoardWindow board(ctx, actions);
    board.exec();
}

RoomNumberEditDialog::RoomNumberEditDialog(const QString &initialText, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(roomnumbertext::Caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *label = new QLabel(roomnumbertext::Label1, this);
    label->setObjectName(QStringLiteral("Label1"));
    m_text = new QLineEdit(initialText, this);
    m_text->setObjectName(QStringLiteral("txtRoomNo"));
    m_text->setMaxLength(BoardModel::RoomNumberMaxLength);
    m_text->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text->selectAll();
    auto *ok = new QPushButton(roomnumbertext::Command1, this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setToolTip(roomnumbertext::Command1Tip);
    ok->setDefault(true);
    auto *cancel = new QPushButton(roomnumbertext::Command2, this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setToolTip(roomnumbertext::Command2Tip);
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

WardBoardWindow::WardBoardWindow(AppContext &ctx, BoardActions actions, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_actions(std::move(actions))
{
    initBoardResources();
    setObjectName(QStringLiteral("frmRoom"));
    setWindowTitle(boardtext::WindowCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    m_popupRunner = [](QMenu &menu, const QPoint &pos) { menu.exec(pos); };
    m_numberDialog = [this](const QString &initial) -> std::optional<QString> {
        RoomNumberEditDialog dialog(initial, *m_ctx.prompter, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.text();
    };
    m_colourDialog = [this](int current) -> std::optional<int> {
        const QColor c = QColorDialog::getColor(toColor(current), this);
        if (!c.isValid())
            return std::nullopt;
        return BoardModel::storedColour(c.red(), c.green(), c.blue());
    };

    buildUi();
    connect(&m_model, &BoardModel::bedChanged, this, &WardBoardWindow::showBed);
    connect(&m_model, &BoardModel::roomChanged, this, &WardBoardWindow::showRoom);
    resize(sizeHint().expandedTo(QSize(1100, 760)));
    guarded(m_ctx, "frmRoom.Form_Load()", [this] { formLoad(); });
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

    auto *tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("Toolbar1"));
    buildToolBar(tools);
    layout->addWidget(tools);

    auto *dateRow = new QHBoxLayout;
    dateRow->setContentsMargins(8, 4, 8, 4);
    auto *label2 = new QLabel(boardtext::DateLabel, this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_cmbDate = new QComboBox(this);
    m_cmbDate->setObjectName(QStringLiteral("cmbDate"));
    m_cmbDate->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_cmdToday = new QPushButton(boardtext::TodayButton, this);
    m_cmdToday->setObjectName(QStringLiteral("cmdToday"));
    m_cmdToday->setToolTip(boardtext::TodayButtonTip);
    m_cmdToday->setAutoDefault(false);
    dateRow->addWidget(label2);
    dateRow->addWidget(m_cmbDate);
    dateRow->addWidget(m_cmdToday);
    dateRow->addStretch();
    layout->addLayout(dateRow);
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

    connect(m_cmbDate, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (!m_filling && index >= 0)
            changeDisplayDate(index);
    });
    connect(m_cmdToday, &QPushButton::clicked, this, [this] {
        guarded(m_ctx, "frmRoom.cmdToday_Click()", [this] { m_cmbDate->setCurrentIndex(0); });
    });

    m_popup = new BedPopupMenu(m_ctx.appDir, this);
    connectActions();
}

void WardBoardWindow::buildMenuBar(QMenuBar *bar)
{
    QHash<QString, QMenu *> menus;
    for (const auto &m : boardtext::Menus) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(m[1]));
        menu->setObjectName(QString::fromLatin1(m[0]));
        menus.insert(menu->objectName(), menu);
    }
    for (const boardtext::MenuEntry &e : boardtext::MenuItems) {
        QMenu *menu = menus.value(QString::fromLatin1(e.menu));
        const QString caption = QString::fromUtf8(e.caption);
        QAction *a = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(e.name));
        if (*e.shortcut)
            a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
        m_menuItems.insert(a->objectName(), a);
    }
}

void WardBoardWindow::buildToolBar(QToolBar *bar)
{
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    int group = 0;
    for (const boardtext::ToolButton &b : boardtext::ToolButtons) {
        if (group != 0 && b.group != group)
            bar->addSeparator();
        group = b.group;
        const QString key = QString::fromLatin1(b.key);
        QAction *a = bar->addAction(QIcon(QStringLiteral(":/icons/%1.png").arg(key)),
                                    QString::fromUtf8(b.tooltip));
        a->setObjectName(key);
        a->setToolTip(QString::fromUtf8(b.tooltip));
        m_toolButtons.insert(key, a);
    }
}

QWidget *WardBoardWindow::buildRooms()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("rooms"));
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(8, 4, 8, 8);
    grid->setSpacing(6);
    const int labelHeight = fontMetrics().height() + 6;
    for (int room = 0; room < BoardModel::RoomCount; ++room) {
        auto *label = new RoomLabel(area);
        label->setObjectName(QStringLiteral("Label1_%1").arg(room));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        auto *beds = new QGridLayout(label);
        beds->setContentsMargins(4, labelHeight, 4, 4);
        beds->setSpacing(2);
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

void WardBoardWindow::connectActions()
{
    auto on = [this](QAction *a, std::function<void()> f) {
        if (a)
            connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
    };
    const auto M = BoardOrigin::MenuBar;
    const auto T = BoardOrigin::Toolbar;
    const auto P = BoardOrigin::PopupMenu;

    on(menuItem("end"), [this] { close(); });
    on(menuItem("Bed"), [this] { startBedMove(); });
    on(menuItem("Edit"), [this] { openRecord(); });
    on(menuItem("Taiin"), [this, M] { discharge(M); });
    on(menuItem("Sai"), [this, M] { readmit(M); });
    on(menuItem("DataDel"), [this, M] { erase(M); });
    on(menuItem("set"), [this, M] { roomNumber(M); });
    on(menuItem("Col3"), [this, M] { roomColour(M); });
    on(menuItem("setHospitalInfo"), [this] { run(m_actions.facility); });
    on(menuItem("kangofu"), [this] { openStaffList(m_ctx, this); refreshRights(); });
    on(menuItem("OptionDlgStart"), [this] { run(m_actions.options); });
    on(menuItem("Backup"), [this] { run(m_actions.backup); });
    on(menuItem("BackupDataDell"), [this] { run(m_actions.backupDelete); });
    on(menuItem("help"), [this] { showHelp(); });
    on(menuItem("white"), [this] { showAbout(); });

    on(toolButton("toolClose"), [this] { close(); });
    on(toolButton("toolBedMove"), [this] { startBedMove(); });
    on(toolButton("toolHensyu"), [this] { openRecord(); });
    on(toolButton("tooltain"), [this, T] { discharge(T); });
    on(toolButton("toolSai"), [this, T] { readmit(T); });
    on(toolButton("toolDel"), [this, T] { erase(T); });
    on(toolButton("toolHouseno"), [this, T] { roomNumber(T); });
    on(toolButton("toolHouseCol"), [this, T] { roomColour(T); });
    on(toolButton("toolShisetu"), [this] { run(m_actions.facility); });
    on(toolButton("toolStaff"), [this] { openStaffList(m_ctx, this); refreshRights(); });
    on(toolButton("toolVer"), [this] { showAbout(); });
    on(toolButton("toolHelp"), [this] { showHelp(); });

    on(m_popup->item("bed"), [this] { startBedMove(); });
    on(m_popup->item("edit"), [this] { openRecord(); });
    on(m_popup->item("Taiin"), [this, P] { discharge(P); });
    on(m_popup->item("SaiNyuin"), [this, P] { readmit(P); });
    on(m_popup->item("Out"), [this, P] { erase(P); });
    on(m_popup->item("no"), [this, P] { roomNumber(P); });
    on(m_popup->item("color"), [this, P] { roomColour(P); });
    // "END" only closes the menu.
}

void WardBoardWindow::formLoad()
{
    BusyGuard busy(m_ctx.busy);
    m_ctx.selectedBed = 0;
    m_ctx.displayDateIndex = 0;
    fillDates(buildDateList(m_ctx));
    m_model.reset();
    loadWardLayout(m_ctx, m_model, layoutFolder(m_ctx, m_dates, 0));
    for (int bed = 0; bed < BoardModel::BedCount; ++bed)
        showBed(bed);
    for (int room = 0; room < BoardModel::RoomCount; ++room)
        showRoom(room);
    busy.release();
    refreshRights();
}

void WardBoardWindow::fillDates(const QStringList &dates)
{
    m_filling = true;
    m_dates = dates;
    m_cmbDate->clear();
    m_cmbDate->addItems(dates);
    m_cmbDate->setCurrentIndex(qBound(-1, m_ctx.displayDateIndex, dates.size() - 1));
    m_filling = false;
}

void WardBoardWindow::setDateList(const QStringList &dates)
{
    const bool wasToday = m_ctx.displayDateIndex == 0;
    m_filling = true;
    m_dates = dates;
    m_cmbDate->clear();
    m_cmbDate->addItems(dates);
    m_cmbDate->setCurrentIndex(0);
    m_filling = false;
    if (!wasToday)
        changeDisplayDate(0);
}

void WardBoardWindow::rebuildDateList()
{
    setDateList(buildDateList(m_ctx));
}

void WardBoardWindow::changeDisplayDate(int index)
{
    guarded(m_ctx, "frmRoom.cmbDate_Click()", [this, index] {
        const bool changed = velto::changeDisplayDate(m_ctx, m_model, m_dates, index);
        if (!changed || m_cmbDate->currentIndex() != m_ctx.displayDateIndex) {
            // Today could not be saved: the board stays where it was.
            m_filling = true;
            m_cmbDate->setCurrentIndex(m_ctx.displayDateIndex);
            m_filling = false;
        }
    });
    refreshRights();
}

bool WardBoardWindow::saveLayout()
{
    return saveWardLayout(m_ctx, m_model) == LayoutSaveResult::Saved;
}

QPushButton *WardBoardWindow::bedButton(int bed) const
{
    return BoardModel::isBed(bed) ? m_beds.at(bed) : nullptr;
}

void WardBoardWindow::showBed(int bed)
{
    if (QPushButton *b = bedButton(bed)) {
        b->setText(m_model.bedCaption(bed));
        b->setToolTip(m_model.bedEntry(bed));
    }
}

void WardBoardWindow::showRoom(int room)
{
    if (!BoardModel::isRoom(room))
        return;
    QLabel *label = m_rooms.at(room);
    if (label->text() != m_model.roomNumber(room))
        label->setText(m_model.roomNumber(room));
    static_cast<RoomLabel *>(label)->setColour(toColor(m_model.roomColour(room)));
}

void WardBoardWindow::refreshRights()
{
    const QString readOnly = layoutReadOnlyText(m_ctx);
    if (m_readOnlyBanner->text() != readOnly)
        m_readOnlyBanner->setText(readOnly);
    m_readOnlyBanner->setVisible(!readOnly.isEmpty());
    BusyGuard busy(m_ctx.busy);
    guarded(m_ctx, "frmRoom.SetMenu()", [this] {
        m_popup->applyRights(rights::bedMenuStates(m_ctx, m_model));
        const QMap<QString, bool> items = rights::menuBarStates(m_ctx, m_model);
        for (auto it = items.cbegin(); it != items.cend(); ++it) {
            if (QAction *a = m_menuItems.value(it.key()))
                a->setEnabled(it.value());
            if (QAction *a = m_toolButtons.value(it.key()))
                a->setEnabled(it.value());
        }
    });
}

void WardBoardWindow::bedClicked(int bed)
{
    if (!BoardModel::isBed(bed))
        return;
    m_ctx.selectedBed = bed;
    refreshRights();
    showPopupMenu();
}

void WardBoardWindow::bedFocused(int bed)
{
    if (!BoardModel::isBed(bed))
        return;
    m_ctx.selectedBed = bed;
    refreshRights();
}

bool WardBoardWindow::dropOnBed(int target)
{
    const bool changed = velto::dropOnBed(m_ctx, m_model, target);
    refreshRights();
    return changed;
}

void WardBoardWindow::showPopupMenu()
{
    // At the mouse pointer even when the bed was clicked with the keyboard.
    if (m_popupRunner)
        m_popupRunner(*m_popup, QCursor::pos());
}

void WardBoardWindow::openRecord()
{
    const int bed = m_ctx.selectedBed;
    if (!rights::bedMenuStates(m_ctx, m_model).value(QStringLiteral("edit")))
        return;
    RecordHost host;
    host.bedEntry = m_model.bedEntry(bed);
    host.today = m_ctx.displayDateIndex == 0;
    if (!host.today)
        host.snapshotFolder = m_dates.value(m_ctx.displayDateIndex);
    host.canSave = m_ctx.layoutFault.isEmpty();
    host.onSaved = [this, bed](const QString &key, const QString &) { recordSaved(bed, key); };
    host.layoutWithKey = [this, bed](const QString &key, QList<QPair<QString, QByteArray>> *files) {
        return layoutWithBedEntry(m_ctx, m_model, bed, key, files);
    };
    // One record file per patient: another bed's patient is never overwritten.
    host.keyTakenByOtherBed = [this, bed](const QString &key) {
        for (int b = 0; b < BoardModel::BedCount; ++b) {
            if (b != bed && m_model.bedEntry(b) == key)
                return true;
        }
        return false;
    };
    const QString helpDir = m_ctx.appDir + QStringLiteral("/help");
    host.showHelp = [helpDir](QWidget *owner) { HelpViewer::showHelp(owner, helpDir, HelpViewer::Index); };
    if (m_actions.print)
        host.print = [this](QWidget *w) { m_actions.print(m_ctx, w); };
    {
        PatientRecordDialog record(m_ctx, std::move(host), this);
        record.exec();
    }
    refreshRights();
}

QString WardBoardWindow::readOnlyText() const
{
    return m_readOnlyBanner->isVisibleTo(this) ? m_readOnlyBanner->text() : QString();
}

void WardBoardWindow::recordSaved(int bed, const QString &key)
{
    // The layout naming key was saved with the record.
    if (BoardModel::isBed(bed))
        m_model.setBedEntry(bed, key);
}

void WardBoardWindow::startBedMove()
{
    if (!canStartBedMove(m_ctx, m_model))
        return;
    QPushButton *source = m_beds.at(m_ctx.selectedBed);
    auto *mime = new QMimeData;
    mime->setData(BedMimeType, QByteArray::number(m_ctx.selectedBed));
    auto *drag = new QDrag(source);
    drag->setMimeData(mime);
    drag->setPixmap(source->grab());
    drag->setHotSpot(QPoint(source->width() / 2, source->height() / 2));
    drag->exec(Qt::MoveAction);
    refreshRights();
}

void WardBoardWindow::roomNumber(BoardOrigin origin)
{
    if (!BoardModel::isBed(m_ctx.selectedBed))
        return;
    setRoomNumber(m_ctx, m_model, origin, m_numberDialog);
    refreshRights();
}

void WardBoardWindow::roomColour(BoardOrigin origin)
{
    setRoomColour(m_ctx, m_model, origin, m_colourDialog);
    refreshRights();
}

void WardBoardWindow::setRoomDialogs(RoomNumberDialog number, RoomColourDialog colour)
{
    m_numberDialog = std::move(number);
    m_colourDialog = std::move(colour);
}

void WardBoardWindow::discharge(BoardOrigin origin)
{
    if (m_actions.discharge)
        m_actions.discharge(*this, origin);
    refreshRights();
}

void WardBoardWindow::erase(BoardOrigin origin)
{
    if (m_actions.erase)
        m_actions.erase(*this, origin);
    refreshRights();
}

void WardBoardWindow::readmit(BoardOrigin origin)
{
    if (m_actions.readmit)
        m_actions.readmit(*this, origin);
    refreshRights();
}

void WardBoardWindow::run(const std::function<void(WardBoardWindow &)> &action)
{
    if (action)
        action(*this);
    refreshRights();
}

void WardBoardWindow::showHelp()
{
    HelpViewer::showHelp(this, m_ctx.appDir + QStringLiteral("/help"), HelpViewer::Contents);
}

void WardBoardWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

bool WardBoardWindow::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        guarded(m_ctx, "frmRoom.Form_Activate()", [this] { refreshRights(); });
    return QDialog::event(e);
}

void WardBoardWindow::keyPressEvent(QKeyEvent *e)
{
    // The board closes only by its close box, the menu and the toolbar.
    if (e->key() == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    QDialog::keyPressEvent(e);
}

void WardBoardWindow::closeEvent(QCloseEvent *e)
{
    if (!m_unloaded) {
        m_unloaded = true;
        guarded(m_ctx, "frmRoom.Form_Unload()", [this] { formUnload(); });
    }
    QDialog::closeEvent(e);
}

void WardBoardWindow::formUnload()
{
    m_popup->close();
    // Today's layout is written whenever the account may write it, not only
    // with the automatic backup: otherwise admissions and moves made since
    // the last save would be gone at the next start.
    if (m_ctx.displayDateIndex == 0 && m_ctx.currentAccount.authority == 2)
        saveLayout();
    if (m_ctx.optionValues.backupOnOff == 1 && m_ctx.currentAccount.authority == 2 && m_actions.autoBackup)
        m_actions.autoBackup(*this);
}

} // namespace velto
