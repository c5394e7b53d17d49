#include "patientrecorddialog.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "core/appcontext.h"
#include "core/busy.h"
#include "core/errorlog.h"
#include "helpviewer.h"
#include "record/recordaccess.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "record/recordsave.h"
#include "store/wardstore.h"

namespace velto {

namespace {

constexpr int kTabsPerRow = 7;
constexpr int kTabRows = 3;
constexpr int kPhotoSide = 120;

bool isBirthDateField(const QString &name)
{
    return name == QLatin1String("cmbYmd1") || name == QLatin1String("cmbYmd2") || name == QLatin1String("cmbYmd3")
           || name == QLatin1String("cmbYmd4");
}

void setInputMode(QWidget *w, InputMode mode)
{
    if (mode == InputMode::Off) {
        w->setAttribute(Qt::WA_InputMethodEnabled, false);
        w->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    } else if (mode == InputMode::Hiragana) {
        w->setAttribute(Qt::WA_InputMethodEnabled, true);
        w->setInputMethodHints(Qt::ImhNone);
    }
}

// A stored value may be longer than the field's limit (older data): the
// load raises the limit to its length so that nothing is cut. Shortening it
// by hand lowers the limit again, never below the field's own.
void keepLimitToStoredText(QLineEdit *e, int limit)
{
    QObject::connect(e, &QLineEdit::textEdited, e, [e, limit](const QString &text) {
        if (e->maxLength() > limit && text.size() < e->maxLength())
            e->setMaxLength(std::max(limit, int(text.size())));
    });
}

// setText cuts at maxLength: make room for the whole stored value first.
void fitLimitTo(QLineEdit *e, const QString &value)
{
    if (value.size() > e->maxLength())
        e->setMaxLength(int(value.size()));
}

QLabel *caption(const QString &text, QWidget *parent = nullptr)
{
    return new QLabel(text, parent);
}

// Turns "shown|pattern|shown|pattern" into Qt's ";;" filter list. A shown
// text that already ends in "(pattern)" is kept as it is, so the list reads
// "JPEG イメージ(*.jpg)" and not "JPEG イメージ(*.jpg) (*.jpg)".
QString qtFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString shown = parts[i];
        const QString pattern = parts[i + 1];
        if (shown.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << shown;
        else
            filters << shown + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace

PatientRecordDialog::PatientRecordDialog(AppContext &ctx, RecordHost host, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_host(std::move(host))
{
    setObjectName(QStringLiteral("frmKozinInf"));
    setWindowTitle(recordtext::WindowCaption);
    buildUi();
    loadRecord();
}

// ---- building -------------------------------------------------------------

QWidget *PatientRecordDialog::makeField(const RecordField &f)
{
    QWidget *w = nullptr;
    switch (f.kind) {
    case FieldKind::Text:
    case FieldKind::PhotoPath: {
        auto *e = new QLineEdit;
        if (f.maxLength > 0) {
            e->setMaxLength(f.maxLength);
            keepLimitToStoredText(e, f.maxLength);
            // Wide enough to show its whole limit: full-width characters
            // where Japanese is typed, digits and letters elsewhere.
            const QChar widest = f.inputMode == InputMode::Off ? QLatin1Char('0') : QChar(0x3042);
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QString(std::min(f.maxLength, 60), widest)) + 12);
        }
        if (f.isLine()) {
            // Lines of a long note read as ruled paper: compact, no frame.
            e->setFrame(false);
            e->setFixedHeight(e->fontMetrics().height() + 2);
        }
        setInputMode(e, f.inputMode);
        if (f.kind == FieldKind::PhotoPath)
            e->hide();
        w = e;
        break;
    }
    case FieldKind::EditableList:
    case FieldKind::AgeList: {
        auto *c = new QComboBox;
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert); // typed text is a value, not a new item
        c->addItems(recordListItems(f.control));
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents); // "昭和", "AB型" must show whole
        c->setMinimumContentsLength(3);
        c->setCurrentIndex(-1);
        c->clearEditText();
        if (f.maxLength > 0) {
            c->lineEdit()->setMaxLength(f.maxLength);
            keepLimitToStoredText(c->lineEdit(), f.maxLength);
        }
        setInputMode(c, f.inputMode);
        setInputMode(c->lineEdit(), f.inputMode);
        c->lineEdit()->installEventFilter(this);
        w = c;
        break;
    }
    case FieldKind::FixedList: {
        auto *c = new QComboBox;
        c->addItems(recordListItems(f.control));
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->setCurrentIndex(-1);
        w = c;
        break;
    }
    case FieldKind::SaveStamp:
        return nullptr;
    }
    w->setObjectName(f.objectName());
    w->installEventFilter(this);
    m_fields.insert(f.objectName(), w);
    return w;
}

QWidget *PatientRecordDialog::fieldWidget(const QString &objectName) const
{
    return m_fields.value(objectName);
}

void PatientRecordDialog::buildUi()
{
    auto *tabControl = new QWidget(this);
    tabControl->setObjectName(QStringLiteral("SSTab1"));
    auto *tabLayout = new QVBoxLayout(tabControl);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    m_rowLayout = new QVBoxLayout;
    m_rowLayout->setSpacing(0);
    tabLayout->addLayout(m_rowLayout);
    m_pages = new QStackedWidget(tabControl);
    m_pages->setObjectName(QStringLiteral("SSTab1_pages"));
    m_pages->setFrameShape(QFrame::StyledPanel);
    tabLayout->addWidget(m_pages, 1);

    m_tabButtons = new QButtonGroup(this);
    m_tabButtons->setExclusive(true);
    const auto &tabs = recordTabs();
    for (int row = 0; row < kTabRows; ++row) {
        auto *rowWidget = new QWidget(tabControl);
        rowWidget->setObjectName(QStringLiteral("SSTab1_row_%1").arg(row));
        auto *h = new QHBoxLayout(rowWidget);
        h->setContentsMargins(0, 0, 0, 0);
        h->setSpacing(0);
        for (int col = 0; col < kTabsPerRow; ++col) {
            const int tab = row * kTabsPerRow + col;
            auto *b = new QPushButton(tabs.value(tab).caption, rowWidget);
            b->setObjectName(QStringLiteral("SSTab1_tab_%1").arg(tab));
            b->setCheckable(true);
            b->setAutoDefault(false);
            b->setFocusPolicy(Qt::TabFocus);
            h->addWidget(b, 1);
            m_tabButtons->addButton(b, tab);
        }
        m_tabRows.append(rowWidget);
    }
    connect(m_tabButtons, &QButtonGroup::idClicked, this, &PatientRecordDialog::selectTab);

    // Until the data is read every field holds its initial value.
    m_values = newPatientRecord();
    for (int tab = 0; tab < tabs.size(); ++tab) {
        auto *holder = new QScrollArea;
        holder->setWidgetResizable(true);
        holder->setFrameShape(QFrame::NoFrame);
        holder->setObjectName(QStringLiteral("SSTab1_page_%1").arg(tab));
        m_pages->addWidget(holder);
    }
    selectTab(0);

    auto makeButton = [this](const char *name, const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    m_ok = makeButton("Command1", recordtext::OkButton, recordtext::OkTip);
    m_save = makeButton("Command3", recordtext::SaveButton, recordtext::SaveTip);
    m_cancel = makeButton("endCmd", recordtext::CancelButton, recordtext::CancelTip);
    m_print = makeButton("Command2", recordtext::PrintButton, recordtext::PrintTip);
    m_help = makeButton("HelpCmd", recordtext::HelpButton, recordtext::HelpTip);
    m_save->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &PatientRecordDialog::saveAndClose);
    connect(m_save, &QPushButton::clicked, this, &PatientRecordDialog::save);
    connect(m_cancel, &QPushButton::clicked, this, &PatientRecordDialog::cancelAndClose);
    connect(m_print, &QPushButton::clicked, this, [this] {
        if (m_host.print)
            m_host.print(this);
    });
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_host.showHelp)
            m_host.showHelp(this);
        else
            HelpViewer::showHelp(this, m_ctx.path(QStringLiteral("help")), HelpViewer::Index);
    });

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_ok, m_save, m_cancel, m_print, m_help})
        buttons->addWidget(b);
    buttons->addStretch();

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("sbStatusBar"));
    m_statusBar->setToolTip(recordtext::StatusBarTip);
    m_statusBar->setSizeGripEnabled(false);
    m_statusText = new QLabel(m_statusBar);
    m_statusText->setObjectName(QStringLiteral("sbStatusBarText"));
    m_statusBar->addWidget(m_statusText, 1);

    auto *main = new QVBoxLayout(this);
    main->addWidget(tabControl, 1);
    main->addLayout(buttons);
    main->addWidget(m_statusBar);
    // Normally every page shows whole, its boxes at their full limit and the
    // long notes' 27 lines without scrolling; on a smaller screen the pages
    // scroll.
    m_pageNeed = largestPageSize(m_pageNeed);
    m_pages->setMinimumSize(m_pageNeed + QSize(4, 4));
    QSize normal = minimumSizeHint().expandedTo(QSize(820, 640));
    m_pages->setMinimumSize(0, 0);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        normal = normal.boundedTo(screen->availableGeometry().size() - QSize(0, 40));
    resize(normal);
}

QWidget *PatientRecordDialog::buildPersonalTab()
{
    auto *page = new QWidget;
    auto *g = new QGridLayout;
    int row = 0;
    auto addRow = [&](const QString &text, std::initializer_list<QWidget *> widgets) {
        auto *h = new QHBoxLayout;
        for (QWidget *w : widgets)
            h->addWidget(w);
        h->addStretch();
        g->addWidget(caption(text), row, 0);
        g->addLayout(h, row, 1);
        ++row;
    };
    auto f = [this](const char *name) { return fieldWidget(QString::fromLatin1(name)); };
    auto cap = [](const char *key) { return recordField(QString::fromLatin1(key))->caption; };

    f("txtID")->setStyleSheet(QStringLiteral("color: red;"));
    addRow(cap("000"), {f("txtID")});
    addRow(cap("001"), {f("txtNameKana"), f("txtNameKana2")});
    addRow(cap("003"), {f("txtNameKanji"), f("txtNameKanji2")});
    addRow(cap("007"), {f("cmbYmd1"), f("cmbYmd2"), f("cmbYmd3"), f("cmbYmd4")});
    addRow(cap("006"), {f("cmbNenrei")});
    addRow(cap("011"), {f("cmbKetueki"), caption(cap("012")), f("cmbRH")});
    addRow(cap("005"), {f("cmbSeibetu")});
    addRow(cap("013"), {f("txtZip1"), caption(cap("014")), f("txtZip2")});
    addRow(cap("015"), {f("cmbZyu1")});
    addRow(cap("016"), {f("cmbZyu2")});
    addRow(QString(), {f("cmbZyu3")});
    addRow(cap("018"), {f("txtTel")});

    auto *emergency = new QGroupBox(recordtext::EmergencyFrame);
    auto *eg = new QGridLayout(emergency);
    eg->addWidget(caption(cap("019")), 0, 0);
    eg->addWidget(f("txtKinkyuTel"), 0, 1);
    eg->addWidget(caption(cap("020")), 1, 0);
    eg->addWidget(f("txtKinkyuYobi"), 1, 1);
    eg->addWidget(caption(cap("021")), 2, 0);
    eg->addWidget(f("txtKinkyuKankei"), 2, 1);
    g->addWidget(emergency, row++, 0, 1, 2);
    g->setRowStretch(row, 1);

    // The photo and its button share one square.
    auto *photo = new QGridLayout;
    m_photo = new QPushButton(recordtext::PhotoButton);
    m_photo->setObjectName(QStringLiteral("Command4"));
    m_photo->setToolTip(recordtext::PhotoTip);
    m_photo->setFixedSize(kPhotoSide, kPhotoSide);
    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFixedSize(kPhotoSide, kPhotoSide);
    m_image->setAlignment(Qt::AlignCenter);
    m_photoChange = new QPushButton(recordtext::PhotoChangeButton);
    m_photoChange->setObjectName(QStringLiteral("Command5"));
    photo->addWidget(m_image, 0, 0);
    photo->addWidget(m_photo, 0, 0);
    photo->addWidget(m_photoChange, 1, 0);
    photo->addWidget(f("txtPathKao"), 2, 0);
    photo->setRowStretch(3, 1);
    connect(m_photo, &QPushButton::clicked, this, &PatientRecordDialog::choosePhoto);
    connect(m_photoChange, &QPushButton::clicked, this, &PatientRecordDialog::choosePhoto);

    auto *h = new QHBoxLayout(page);
    h->addLayout(g, 1);
    h->addLayout(photo);
    return page;
}

QWidget *PatientRecordDialog::buildVitalTab()
{
    auto *page = new QWidget;
    auto *frame = new QGroupBox(recordTabs().value(4).frame);
    auto f = [this](const char *name) { return fieldWidget(QString::fromLatin1(name)); };
    auto cap = [](const char *key) { return recordField(QString::fromLatin1(key))->caption; };
    auto suffix = [](const char *key) { return caption(recordField(QString::fromLatin1(key))->suffix); };

    auto *bp = new QGroupBox(recordtext::BloodPressureFrame);
    auto *bg = new QGridLayout(bp);
    bg->addWidget(caption(cap("051")), 0, 0);
    bg->addWidget(f("txtKetuatu1"), 0, 1);
    bg->addWidget(caption(cap("052")), 0, 2);
    bg->addWidget(f("txtKetuatu2"), 0, 3);
    bg->addWidget(caption(cap("224")), 1, 0);
    bg->addWidget(f("txtKetuatu3"), 1, 1);
    bg->addWidget(caption(cap("225")), 1, 2);
    bg->addWidget(f("txtKetuatu4"), 1, 3);
    bg->setColumnStretch(4, 1);

    auto *g = new QGridLayout(frame);
    g->addWidget(bp, 0, 0, 1, 4);
    g->addWidget(caption(cap("053")), 1, 0);
    g->addWidget(f("txtTaion"), 1, 1);
    g->addWidget(suffix("053"), 1, 2);
    g->addWidget(caption(cap("054")), 2, 0);
    g->addWidget(f("txtMyakuhaku"), 2, 1);
    g->addWidget(suffix("054"), 2, 2);
    g->addWidget(f("cmbMyakuHoka"), 2, 3);
    g->addWidget(caption(cap("056")), 3, 0);
    g->addWidget(f("txtSintyou"), 3, 1);
    g->addWidget(suffix("056"), 3, 2);
    g->addWidget(caption(cap("057")), 4, 0);
    g->addWidget(f("txtTaizyu"), 4, 1);
    g->addWidget(suffix("057"), 4, 2);
    g->setColumnStretch(4, 1);
    g->setRowStretch(5, 1);

    auto *v = new QVBoxLayout(page);
    v->addWidget(frame);
    return page;
}

QWidget *PatientRecordDialog::buildGenericTab(int tab)
{
    auto *page = new QWidget;
    auto *frame = new QGroupBox(recordTabs().value(tab).frame);
    auto *v = new QVBoxLayout(frame);
    QStringList groupsDone;
    for (const RecordField &f : recordFields()) {
        if (f.tab != tab || !f.hasControl())
            continue;
        if (!f.isLine()) {
            auto *h = new QHBoxLayout;
            if (!f.caption.isEmpty())
                h->addWidget(caption(f.caption));
            h->addWidget(fieldWidget(f.objectName()), 1);
            v->addLayout(h);
            continue;
        }
        if (groupsDone.contains(f.control))
            continue;
        groupsDone << f.control;
        const auto lines = recordLineGroup(f.control);
        // The long medication and progress notes stand in two columns.
        const bool twoColumns
            = f.control == QLatin1String("txtNaifukuyaku") || f.control == QLatin1String("txtKeireki");
        const int perColumn = twoColumns ? (lines.size() + 1) / 2 : lines.size();
        if (!f.caption.isEmpty() && f.caption != frame->title())
            v->addWidget(caption(f.caption));
        // The 1-pixel gaps between the lines show as the sheet's rules.
        auto *sheet = new QWidget;
        sheet->setAutoFillBackground(true);
        QPalette rules = sheet->palette();
        rules.setColor(QPalette::Window, QColor(0xc8, 0xc8, 0xc8));
        sheet->setPalette(rules);
        auto *g = new QGridLayout(sheet);
        g->setContentsMargins(1, 1, 1, 1);
        g->setSpacing(1);
        for (int i = 0; i < lines.size(); ++i)
            g->addWidget(fieldWidget(lines[i]->objectName()), i % perColumn, i / perColumn);
        v->addWidget(sheet);
    }
    if (tab == 7)
        v->addWidget(caption(recordtext::DisabilityNote));
    v->addStretch();
    auto *outer = new QVBoxLayout(page);
    outer->addWidget(frame);
    return page;
}

QWidget *PatientRecordDialog::buildPage(int tab)
{
    // The page's fields first, parentless as the page itself, so that both
    // measure in the application's font.
    for (const RecordField &f : recordFields())
        if (f.tab == tab && f.hasControl())
            makeField(f);
    return tab == 0 ? buildPersonalTab() : tab == 4 ? buildVitalTab() : buildGenericTab(tab);
}

bool PatientRecordDialog::pageBuilt(int tab) const
{
    const auto *holder = qobject_cast<QScrollArea *>(m_pages->widget(tab));
    return holder && holder->widget();
}

void PatientRecordDialog::ensurePageBuilt(int tab)
{
    if (pageBuilt(tab))
        return;
    QWidget *page = buildPage(tab);
    if (tab == 0)
        m_pageNeed = page->minimumSizeHint();
    static_cast<QScrollArea *>(m_pages->widget(tab))->setWidget(page);
    // Tab moves through the page where its tab stands, after the pages
    // before it and before the buttons: built late, it joined the end.
    QVector<QWidget *> stops;
    for (QWidget *w = page->nextInFocusChain(); page->isAncestorOf(w); w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
            stops << w;
    QWidget *previous = nullptr;
    for (int before = tab - 1; before >= 0 && !previous; --before)
        previous = m_lastTabStop.value(before);
    for (QWidget *w : std::as_const(stops)) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
    m_lastTabStop[tab] = previous;
    // The fields take the values held for them, and the window's mode.
    for (const RecordField &f : recordFields()) {
        if (f.tab != tab || !f.hasControl())
            continue;
        if (m_modeApplied)
            showEditable(fieldWidget(f.objectName()), recordFieldEditable(f, m_readOnly));
        setFieldValue(f, m_values.value(f.key));
    }
}

QSize PatientRecordDialog::largestPageSize(const QSize &firstPage)
{
    // Every page shows whole at the window's normal size, so the window must
    // know the largest one before any other is built. The pages' sizes depend
    // on the style and font alone: they are measured once per process, by
    // building the pages not shown yet and throwing them away.
    static QHash<QString, QSize> measured;
    const QString look = style()->name() + QLatin1Char('|') + QGuiApplication::font().key();
    auto known = measured.constFind(look);
    if (known == measured.constEnd()) {
        QSize largest;
        for (int tab = 1; tab < recordTabs().size(); ++tab) {
            const std::unique_ptr<QWidget> page(buildPage(tab));
            largest = largest.expandedTo(page->minimumSizeHint());
            for (const RecordField &f : recordFields())
                if (f.tab == tab)
                    m_fields.remove(f.objectName());
        }
        known = measured.insert(look, largest);
    }
    return known->expandedTo(firstPage);
}

void PatientRecordDialog::selectTab(int tab)
{
    if (tab < 0 || tab >= m_pages->count())
        return;
    ensurePageBuilt(tab);
    m_pages->setCurrentIndex(tab);
    if (QAbstractButton *b = m_tabButtons->button(tab))
        b->setChecked(true);
    // Like a multi-row tab strip: the chosen row moves next to the page and
    // the other rows rotate above it.
    const int row = tab / kTabsPerRow;
    for (QWidget *w : m_tabRows)
        m_rowLayout->removeWidget(w);
    for (int k = kTabRows - 1; k >= 0; --k)
        m_rowLayout->addWidget(m_tabRows[(row + k) % kTabRows]);
}

int PatientRecordDialog::currentTab() const
{
    return m_pages->currentIndex();
}
void PatientRecordDialog::setCurrentTab(int tab)
{
    selectTab(tab);
}

// ---- values ---------------------------------------------------------------

void PatientRecordDialog::setFieldValue(const RecordField &f, const QString &value)
{
    QWidget *w = fieldWidget(f.objectName());
    if (!w) {
        m_values.setValue(f.key, value);
        return;
    }
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        fitLimitTo(e, value);
        e->setText(value);
    } else if (auto *c = qobject_cast<QComboBox *>(w)) {
        if (c->isEditable()) {
            fitLimitTo(c->lineEdit(), value);
            c->setEditText(value);
        } else {
            int i = value.isEmpty() ? -1 : c->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
            // Keep an unexpected stored value rather than blank it on the next save.
            if (i < 0 && !value.isEmpty()) {
                c->addItem(value);
                i = c->count() - 1;
            }
            c->setCurrentIndex(i);
        }
    }
}

QString PatientRecordDialog::fieldValue(const RecordField &f) const
{
    QWidget *w = fieldWidget(f.objectName());
    if (!w)
        return m_values.value(f.key);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->isEditable() ? c->currentText() : (c->currentIndex() < 0 ? QString() : c->currentText());
    return QString();
}

PatientRecord PatientRecordDialog::record() const
{
    PatientRecord r = newPatientRecord();
    for (const RecordField &f : recordFields())
        if (f.hasControl())
            r.setValue(f.key, fieldValue(f));
    return r;
}

QString PatientRecordDialog::statusText() const
{
    return m_statusText->text();
}

// ---- opening --------------------------------------------------------------

void PatientRecordDialog::loadRecord()
{
    setFieldValue(*recordField(recordkey::PhotoPath), QString());
    setPhotoButtons(false);
    BusyGuard busy(m_ctx.busy);

    applyReadOnly(recordIsReadOnly(m_ctx.currentAccount.authority, m_host.today, m_host.canSave, true));
    showInitialValues();

    m_oldKey = m_host.bedEntry;
    if (m_oldKey.trimmed().isEmpty())
        return;
    // A snapshot day without a name must not fall back to today's record.
    if (!m_host.today && m_host.snapshotFolder.isEmpty())
        return;
    const RecordRef ref
        = m_host.today ? RecordRef::today(m_oldKey) : RecordRef::inSnapshot(m_host.snapshotFolder, m_oldKey);

    PatientRecord r;
    QList<int> badLines;
    const RecordReadResult read = readPatientRecord(m_ctx, ref, &r, &badLines, &m_loaded);
    if (read == RecordReadResult::Missing)
        return;
    for (const RecordField &f : recordFields())
        if (f.hasControl())
            setFieldValue(f, r.value(f.key));
    if (read == RecordReadResult::Failed || read == RecordReadResult::PartlyRead) {
        // Part of the record is missing on screen: a save would blank it on disk.
        m_loadFailed = true;
        m_loadFailedText = read == RecordReadResult::Failed ? recordtext::LoadFailedReadOnly : badLinesText(badLines);
        applyReadOnly(recordIsReadOnly(m_ctx.currentAccount.authority, m_host.today, m_host.canSave, false));
        m_statusText->setText(m_loadFailedText);
        if (read == RecordReadResult::Failed)
            return;
    } else {
        m_statusText->setText(
            updaterText(r.value(recordkey::SavedBy), r.value(recordkey::SavedByName), r.value(recordkey::SavedAt)));
    }

    const QString photo = r.value(recordkey::PhotoPath);
    if (!photo.isEmpty()) {
        QByteArray bytes;
        if (m_ctx.store->readPhoto(ref, photo, &bytes) && showPhoto(photo, bytes)) {
            setPhotoButtons(true);
        } else {
            writeErrorLog(m_ctx, RecordLoadProcedure);
            setPhotoButtons(false);
        }
    }
}

void PatientRecordDialog::applyReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_modeApplied = true;
    m_ok->setEnabled(!readOnly);
    m_save->setEnabled(!readOnly);
    for (const RecordField &f : recordFields())
        if (QWidget *w = fieldWidget(f.objectName()))
            showEditable(w, recordFieldEditable(f, readOnly));
}

void PatientRecordDialog::showEditable(QWidget *w, bool editable)
{
    // A value nobody may change stays fully legible: a text box turns
    // read-only on the window's grey, a list keeps its text black.
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        e->setEnabled(true);
        e->setReadOnly(!editable);
        QPalette p = e->palette();
        p.setColor(QPalette::Base, editable ? palette().color(QPalette::Base) : palette().color(QPalette::Window));
        e->setPalette(p);
        if (e->objectName() == QLatin1String("txtID"))
            e->setStyleSheet(editable ? QStringLiteral("color: red;")
                                      : QStringLiteral("color: red; background: palette(window);"
                                                       " border: 1px solid palette(mid);"));
        return;
    }
    w->setEnabled(editable);
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(QPalette::Disabled, role, palette().color(QPalette::Active, role));
    w->setPalette(p);
}

void PatientRecordDialog::showInitialValues()
{
    for (const RecordField &f : recordFields()) {
        if (f.kind == FieldKind::Text || f.kind == FieldKind::EditableList || f.kind == FieldKind::AgeList)
            setFieldValue(f, recordInitialValue(f.key));
    }
}

// ---- events ---------------------------------------------------------------

bool PatientRecordDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter in a field presses the default button: Save.
            if (m_save->isEnabled())
                save();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // A list's own popup or a message box taking the focus is no leaving.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && isBirthDateField(watched->objectName()))
            updateAgeFromBirthDate();
    }
    return QDialog::eventFilter(watched, event);
}

void PatientRecordDialog::keyPressEvent(QKeyEvent *event)
{
    // No cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PatientRecordDialog::updateAgeFromBirthDate()
{
    if (m_inAgeCheck)
        return;
    m_inAgeCheck = true;
    const QString age = velto::ageText(m_ctx, record());
    if (!age.isEmpty())
        setFieldValue(*recordField(recordkey::Age), age);
    m_inAgeCheck = false;
}

void PatientRecordDialog::showField(const QString &objectName)
{
    const RecordField *f = recordFieldByObjectName(objectName);
    if (f && f->tab >= 0)
        selectTab(f->tab);
    if (QWidget *w = fieldWidget(objectName))
        w->setFocus(Qt::OtherFocusReason);
}

// savePatientRecord with the window's part: status bar, bed, and the field to mend
// when the values were rejected.
int PatientRecordDialog::writeRecord(const PatientRecord &r)
{
    const SaveResult result = savePatientRecord(
        m_ctx, r, m_host.today, &m_oldKey,
        [this](const SaveResult &s) {
            m_statusText->setText(s.updaterText);
            if (m_host.onSaved)
                m_host.onSaved(s.key, s.caption);
        },
        m_host.keyTakenByOtherBed, m_host.layoutWithKey, &m_loaded);
    if (result.outcome == SaveResult::Rejected) {
        m_inAgeCheck = true; // leaving a birth-date field here is no edit
        showField(result.focusField);
        m_inAgeCheck = false;
    }
    return result.outcome;
}

bool PatientRecordDialog::save()
{
    if (m_loadFailed) {
        m_ctx.prompter->errorMsg(m_loadFailedText);
        return false;
    }
    const PatientRecord r = record();
    // The age check must not run on the focus moves of the input check.
    m_inAgeCheck = true;
    const bool passed = checkRecordInputAndTell(m_ctx, r, [this](const QString &name) { showField(name); });
    m_inAgeCheck = false;
    if (!passed)
        return false;
    return writeRecord(r) == SaveResult::Saved;
}

void PatientRecordDialog::saveAndClose()
{
    if (m_loadFailed) {
        save(); // explains why nothing is saved
        return;
    }
    const PatientRecord r = record();
    m_inAgeCheck = true;
    const bool passed = checkRecordInputAndTell(m_ctx, r, [this](const QString &name) { showField(name); });
    m_inAgeCheck = false;
    if (!passed)
        return;
    // Unless saved, the window stays open: closing would lose the typing.
    if (writeRecord(r) != SaveResult::Saved)
        return;
    accept();
}

void PatientRecordDialog::cancelAndClose()
{
    m_oldKey.clear();
    reject();
}

// ---- photo ----------------------------------------------------------------

bool PatientRecordDialog::showPhoto(const QString &path, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLatin1());
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    m_image->setPixmap(
        QPixmap::fromImage(image.scaled(kPhotoSide, kPhotoSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return true;
}

void PatientRecordDialog::setPhotoButtons(bool photoShown)
{
    m_photo->setVisible(!photoShown);
    m_photoChange->setVisible(photoShown);
}

void PatientRecordDialog::choosePhoto()
{
    QFileDialog dialog(this, recordtext::PhotoDialogTitle);
    dialog.setObjectName(QStringLiteral("CommonDialogKao"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(recordtext::PhotoFilter));
    dialog.setDefaultSuffix(recordtext::PhotoDefaultSuffix);
    QString chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().constFirst();
    applyPhotoChoice(chosen);
}

void PatientRecordDialog::applyPhotoChoice(const QString &fileName)
{
    if (fileName.isEmpty()) {
        setPhotoButtons(false);
        return;
    }
    setFieldValue(*recordField(recordkey::PhotoPath), fileName);
    QByteArray bytes;
    if (!readPhotoFile(fileName, &bytes) || !showPhoto(fileName, bytes)) {
        m_ctx.prompter->errorMsg(recordtext::BadPicture);
        return;
    }
    setPhotoButtons(true);
    // A shared data folder keeps its own copy, which every account can open.
    QString kept, error;
    if (adoptPhoto(m_ctx, fileName, &kept, &error))
        setFieldValue(*recordField(recordkey::PhotoPath), kept);
    else
        m_ctx.prompter->errorMsg(recordtext::PhotoNotCopied + QLatin1Char('\r') + error);
}

} // namespace velto
