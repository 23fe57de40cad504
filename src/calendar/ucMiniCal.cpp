#include "calendar/ucMiniCal.h"

#include "ui/QtText.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>

#include <algorithm>

namespace zento {
using namespace std::chrono;

namespace {

// Sizes in twips.
constexpr int kWidth = 2910;
constexpr int kClosedHeight = 285;
constexpr int kOpenHeight = 3045;
constexpr int kCellSize = 255;
constexpr int kFirstColumnLeft = 205;
constexpr int kColumnPitch = 365;
constexpr int kFirstRowTop = 620;
constexpr int kRowPitch = 285;
constexpr int kHeaderLeft = 30;

const QColor kNavy{0x00, 0x00, 0x80};
const QColor kGrey{0x80, 0x80, 0x80};
const QColor kListBack{0xFF, 0xFF, 0xC0};

int columnLeft(int column) {
    return kFirstColumnLeft + kColumnPitch * column;
}

/// A label that shows where the keyboard focus is: the day cells and the title take the focus
/// but a plain label draws nothing for it.
class FocusLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter p(this);
        p.setPen(QPen(palette().color(foregroundRole()), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
    void focusInEvent(QFocusEvent* event) override {
        QLabel::focusInEvent(event);
        update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLabel::focusOutEvent(event);
        update();
    }
};

/// The weekday header. Its text is the one caption, but each name is drawn centred over its
/// column: spaced text only lines up with the grid in one particular font.
class WeekdayHeader final : public QLabel {
public:
    WeekdayHeader(const QString& text, QWidget* parent) : QLabel(text, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        const QStringList names = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QPainter p(this);
        p.setPen(palette().color(foregroundRole()));
        const int left = twips::px(kHeaderLeft);
        for (int c = 0; c < names.size() && c < MonthGrid::kColumns; ++c) {
            const QRect cell = twips::rect(columnLeft(c), 0, kCellSize, kCellSize);
            // Wide enough for the name, centred on the cell below it.
            QRect r(0, 0, twips::px(kColumnPitch), height());
            r.moveCenter(QPoint(cell.center().x() - left, height() / 2));
            p.drawText(r, Qt::AlignCenter, names[c]);
        }
    }
};

} // namespace

ucMiniCal::ucMiniCal(const Clock& clock, QWidget* parent) : QWidget(parent), m_clock(clock) {
    // The layout is fixed in twips; a smaller font than the desktop's keeps "Ce jour" and the
    // day numbers inside their boxes (sizes and font both follow the screen's DPI).
    QFont f = font();
    f.setPointSize(8);
    setFont(f);

    m_txtDate = new QLineEdit(this);
    m_txtDate->setObjectName(QStringLiteral("txtDate"));
    m_txtDate->setEnabled(false);
    m_txtDate->setAlignment(Qt::AlignCenter);
    m_txtDate->setAccessibleName(tr("Date"));
    // Disabled so that nobody types into it, but the date must stay readable.
    QPalette readable = m_txtDate->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base})
        readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
    m_txtDate->setPalette(readable);
    m_txtDate->setGeometry(twips::rect(0, 0, 1092, 285));

    m_cmdDate = new QToolButton(this);
    m_cmdDate->setObjectName(QStringLiteral("cmdDate"));
    m_cmdDate->setArrowType(Qt::DownArrow);
    m_cmdDate->setAccessibleName(tr("Choisir la date"));
    m_cmdDate->setToolTip(tr("Choisir la date"));
    m_cmdDate->setFocusPolicy(Qt::StrongFocus);
    m_cmdDate->setGeometry(twips::rect(1092, 0, 255, 285));
    connect(m_cmdDate, &QToolButton::clicked, this, &ucMiniCal::cmdDate_Click);
    m_cmdDate->installEventFilter(this);

    m_fraCal = new QFrame(this);
    m_fraCal->setObjectName(QStringLiteral("fraCal"));
    m_fraCal->setFrameShape(QFrame::Box);
    m_fraCal->setFrameShadow(QFrame::Plain);
    m_fraCal->setAutoFillBackground(true);
    QPalette white = m_fraCal->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_fraCal->setPalette(white);
    m_fraCal->setGeometry(twips::rect(0, 240, 2895, 2775));
    m_fraCal->hide();

    // The title first: the arrows lie over its ends and must take their own clicks. It comes
    // before the cells in the tab order.
    m_lblMoisAnnee = new FocusLabel(m_fraCal);
    m_lblMoisAnnee->setObjectName(QStringLiteral("lblMoisAnnee"));
    m_lblMoisAnnee->setAlignment(Qt::AlignCenter);
    m_lblMoisAnnee->setToolTip(tr("Click gauche pour changer de mois - click droit pour changer d'année"));
    m_lblMoisAnnee->setFocusPolicy(Qt::TabFocus);
    m_lblMoisAnnee->setGeometry(twips::rect(30, 120, 2800, 255));

    QFont bold = font();
    bold.setBold(true);
    m_lblPrevious = new QLabel(QStringLiteral("<"), m_fraCal);
    m_lblPrevious->setObjectName(QStringLiteral("lblPrevious"));
    m_lblPrevious->setToolTip(tr("Mois précédent"));
    m_lblPrevious->setGeometry(twips::rect(30, 120, 375, 255));
    m_lblNext = new QLabel(QStringLiteral(">"), m_fraCal);
    m_lblNext->setObjectName(QStringLiteral("lblNext"));
    m_lblNext->setToolTip(tr("Mois suivant"));
    m_lblNext->setGeometry(twips::rect(2480, 120, 375, 255));
    for (QLabel* arrow : {m_lblPrevious, m_lblNext}) {
        arrow->setFont(bold);
        arrow->setAlignment(Qt::AlignCenter);
        arrow->setCursor(Qt::PointingHandCursor);
        arrow->setAccessibleName(arrow->toolTip());
    }
    m_lblMoisAnnee->setCursor(Qt::PointingHandCursor);

    m_lblJours = new WeekdayHeader(fromView(kWeekdayHeader), m_fraCal);
    m_lblJours->setObjectName(QStringLiteral("lblJours"));
    m_lblJours->setAlignment(Qt::AlignCenter);
    m_lblJours->setAutoFillBackground(true);
    QPalette header = m_lblJours->palette();
    header.setColor(QPalette::WindowText, kGrey);
    header.setColor(QPalette::Window, Qt::white);
    m_lblJours->setPalette(header);
    m_lblJours->setGeometry(twips::rect(kHeaderLeft, 360, 2800, 255));

    for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
        const int r = (i - 1) / MonthGrid::kColumns;
        const int c = (i - 1) % MonthGrid::kColumns;
        auto* cell = new FocusLabel(m_fraCal);
        cell->setObjectName(QStringLiteral("lblJour_%1").arg(i));
        cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cell->setAutoFillBackground(true);
        cell->setFrameShadow(QFrame::Plain);
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setGeometry(twips::rect(columnLeft(c), kFirstRowTop + kRowPitch * r, kCellSize, kCellSize));
        cell->installEventFilter(this);
        m_lblJour[static_cast<std::size_t>(i - 1)] = cell;
    }

    m_line1 = new QFrame(m_fraCal);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Plain);
    QPalette line = m_line1->palette();
    line.setColor(QPalette::WindowText, kGrey);
    m_line1->setPalette(line);
    m_line1->setGeometry(twips::rect(180, 2360, 2500, 15));

    // On the control itself, over the frame, so it shows only while the control is unfolded.
    m_cmdToday = new QPushButton(tr("Ce jour"), this);
    m_cmdToday->setObjectName(QStringLiteral("cmdToday"));
    m_cmdToday->setAutoDefault(false);
    m_cmdToday->setGeometry(twips::rect(720, 2680, 1335, 240));
    m_cmdToday->hide();
    connect(m_cmdToday, &QPushButton::clicked, this, &ucMiniCal::cmdToday_Click);
    m_cmdToday->installEventFilter(this);

    m_lstMois = new QListWidget(this);
    m_lstMois->setObjectName(QStringLiteral("lstMois"));
    m_lstMois->setAccessibleName(tr("Mois"));
    m_lstMois->setGeometry(twips::rect(30, 340, 1200, 2400));
    connect(m_lstMois, &QListWidget::clicked, this, &ucMiniCal::lstMois_Click);
    m_lstAnnee = new QListWidget(this);
    m_lstAnnee->setObjectName(QStringLiteral("lstAnnee"));
    m_lstAnnee->setAccessibleName(tr("Année"));
    m_lstAnnee->setGeometry(twips::rect(1560, 340, 800, 2400));
    connect(m_lstAnnee, &QListWidget::clicked, this, &ucMiniCal::lstAnnee_Click);
    for (QListWidget* list : {m_lstMois, m_lstAnnee}) {
        QPalette yellow = list->palette();
        yellow.setColor(QPalette::Base, kListBack);
        yellow.setColor(QPalette::Window, kListBack);
        list->setPalette(yellow);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->installEventFilter(this);
        list->hide();
    }

    for (QLabel* label : {m_lblMoisAnnee, m_lblPrevious, m_lblNext})
        label->installEventFilter(this);
    // The frame starts under the box: the box and its button stay whole over it.
    m_txtDate->raise();
    m_cmdDate->raise();

    fold();
}

// --- Public operations ---------------------------------------------------------------------

void ucMiniCal::ChangeJour(Date d) {
    const int y = static_cast<int>(d.year());
    if (!d.ok() || y < kFirstPickerYear || y > kLastPickerYear)
        return;
    const bool gridHadFocus = cellIndex(QApplication::focusWidget()) != 0;
    m_chosen = d;
    m_shown = {d.year(), d.month()};
    m_grid.emplace(d, today());
    paintCells();
    m_lblMoisAnnee->setText(QString::fromStdString(m_grid->title()));
    const QString text = QString::fromStdString(FormatDate(d));
    m_txtDate->setText(text);
    // The disabled box cannot take the focus: the button tells screen readers the date.
    m_cmdDate->setAccessibleDescription(text);
    if (gridHadFocus)
        focusCell(m_tabStopCell);
}

Date ucMiniCal::ChoixDate() const {
    return zento::ChoixDate(m_chosen);
}

void ucMiniCal::Ferme() {
    fold();
}

bool ucMiniCal::isOpen() const {
    return !m_fraCal->isHidden();
}

// --- Drawing -------------------------------------------------------------------------------

Date ucMiniCal::today() const {
    return DayOf(m_clock.now());
}

void ucMiniCal::paintCells() {
    const QPalette& own = palette();
    const QColor grey = own.color(QPalette::Disabled, QPalette::WindowText);
    const QColor chosenBack = own.color(QPalette::Active, QPalette::Dark);
    const QColor otherBack = own.color(QPalette::Active, QPalette::Button);
    for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
        const DayCell& c = m_grid->cell(i);
        QLabel* cell = m_lblJour[static_cast<std::size_t>(i - 1)];
        cell->setText(QString::number(c.dayNumber));
        cell->setEnabled(c.inCurrentMonth);
        QPalette p = cell->palette();
        p.setColor(QPalette::WindowText, c.inCurrentMonth ? kNavy : grey);
        p.setColor(QPalette::Window, c.isChosen ? chosenBack : otherBack);
        cell->setPalette(p);
        cell->setFrameShape(c.isToday ? QFrame::Box : QFrame::NoFrame);
        // The border takes one pixel: keep the number where the other cells have it. (A QFrame
        // keeps its frame in the contents margins, so the indent does this, not the margins.)
        cell->setIndent(c.isToday ? 1 : 2);
        cell->setAccessibleName(QStringLiteral("%1 %2 %3")
                                    .arg(c.dayNumber)
                                    .arg(fromView(FrenchMonthName(static_cast<unsigned>(c.date.month()))))
                                    .arg(static_cast<int>(c.date.year())));
        cell->setAccessibleDescription(c.isChosen  ? tr("date choisie")
                                       : c.isToday ? tr("aujourd'hui")
                                                   : QString());
        cell->setFocusPolicy(c.isChosen ? Qt::TabFocus : Qt::NoFocus);
        if (c.isChosen)
            m_tabStopCell = i;
    }
}

void ucMiniCal::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The cell colours come from the palette: follow a change of desktop colours.
    if (event->type() == QEvent::PaletteChange && m_grid)
        paintCells();
}

// --- Opening and closing ---------------------------------------------------------------------

void ucMiniCal::unfold() {
    m_fraCal->show();
    m_cmdToday->show();
    setFixedSize(twips::size(kWidth, kOpenHeight));
    // Only the painted parts take clicks: the rest of the rectangle lies over the host's controls.
    QRegion region(m_txtDate->geometry());
    region += m_cmdDate->geometry();
    region += m_fraCal->geometry();
    setMask(region);
    raise();
}

void ucMiniCal::fold() {
    // The focus would otherwise leave the widget when what holds it is hidden.
    if (focusInside())
        m_cmdDate->setFocus(Qt::OtherFocusReason);
    m_lstMois->hide();
    m_lstAnnee->hide();
    m_cmdToday->hide();
    m_fraCal->hide();
    setFixedSize(twips::size(kWidth, kClosedHeight));
    setMask(QRegion(m_txtDate->geometry()) + m_cmdDate->geometry());
}

bool ucMiniCal::focusInside() const {
    const QWidget* f = QApplication::focusWidget();
    return f && f != m_cmdDate && isAncestorOf(f);
}

void ucMiniCal::hideLists() {
    if ((m_lstMois->hasFocus() || m_lstAnnee->hasFocus()) && isOpen())
        focusCell(m_tabStopCell);
    m_lstMois->hide();
    m_lstAnnee->hide();
}

// --- Handlers --------------------------------------------------------------------------------

void ucMiniCal::cmdDate_Click() {
    if (isOpen()) {
        fold();
        Q_EMIT Change();
        return;
    }
    Date d = today();
    if (const auto shown = ParseDate(m_txtDate->text().toStdString()))
        d = *shown;
    else if (m_chosen)
        d = *m_chosen;
    unfold();
    ChangeJour(d);
}

void ucMiniCal::cmdToday_Click() {
    hideLists();
    ChangeJour(today());
    // The button only shows while the calendar is open, so this always closes it.
    fold();
    Q_EMIT Change();
}

void ucMiniCal::lblJour_Click(int index) {
    if (!m_grid || !m_grid->cell(index).inCurrentMonth)
        return;
    ChangeJour(m_grid->cell(index).date);
    fold();
    Q_EMIT Change();
}

void ucMiniCal::lblMoisAnnee_MouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        openMonthList();
    else
        openYearList();
}

void ucMiniCal::lblNext_Click() {
    hideLists();
    if (m_grid)
        ChangeJour(NextMonthStart(m_shown));
}

void ucMiniCal::lblPrevious_Click() {
    hideLists();
    if (m_grid)
        ChangeJour(PreviousMonthStart(m_shown));
}

void ucMiniCal::lstMois_Click() {
    const int row = m_lstMois->currentRow();
    if (row < 0 || !m_grid)
        return;
    ChangeJour(MonthStart(static_cast<int>(m_shown.year()), static_cast<unsigned>(row + 1)));
    hideLists();
}

void ucMiniCal::lstAnnee_Click() {
    const QListWidgetItem* item = m_lstAnnee->currentItem();
    if (!item || !m_grid)
        return;
    ChangeJour(ShownMonthInYear(m_shown, item->data(Qt::UserRole).toInt()));
    hideLists();
}

void ucMiniCal::openMonthList() {
    m_lstMois->clear();
    for (std::string_view name : kFrenchMonthNames)
        m_lstMois->addItem(fromView(name));
    m_lstMois->show();
    m_lstMois->raise();
    m_lstMois->setCurrentRow(static_cast<int>(static_cast<unsigned>(m_shown.month())) - 1);
    m_lstMois->scrollToItem(m_lstMois->currentItem());
    m_lstMois->setFocus(Qt::OtherFocusReason);
}

void ucMiniCal::openYearList() {
    const int currentYear = static_cast<int>(today().year());
    m_lstAnnee->clear();
    for (int y : YearList(currentYear)) {
        auto* item = new QListWidgetItem(QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0')), m_lstAnnee);
        item->setData(Qt::UserRole, y);
    }
    m_lstAnnee->show();
    m_lstAnnee->raise();
    if (const auto row = YearListSelection(static_cast<int>(m_shown.year()), currentYear)) {
        m_lstAnnee->setCurrentRow(static_cast<int>(*row));
        m_lstAnnee->scrollToItem(m_lstAnnee->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    m_lstAnnee->setFocus(Qt::OtherFocusReason);
}

// --- Keyboard and mouse ----------------------------------------------------------------------

int ucMiniCal::cellIndex(const QObject* o) const {
    if (!o)
        return 0;
    const auto it = std::find(m_lblJour.begin(), m_lblJour.end(), o);
    return it == m_lblJour.end() ? 0 : static_cast<int>(it - m_lblJour.begin()) + 1;
}

void ucMiniCal::focusCell(int index) {
    if (index < 1 || index > MonthGrid::kCellCount)
        return;
    QLabel* cell = m_lblJour[static_cast<std::size_t>(index - 1)];
    if (!cell->isEnabled())
        return;
    // One tab stop for the whole grid, on the cell last moved to.
    if (m_tabStopCell >= 1 && m_tabStopCell != index)
        m_lblJour[static_cast<std::size_t>(m_tabStopCell - 1)]->setFocusPolicy(Qt::NoFocus);
    m_tabStopCell = index;
    cell->setFocusPolicy(Qt::TabFocus);
    cell->setFocus(Qt::OtherFocusReason);
}

int ucMiniCal::cellOfDay(int day) const {
    int first = 0;
    int count = 0;
    for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
        if (m_grid->cell(i).inCurrentMonth) {
            if (first == 0)
                first = i;
            ++count;
        }
    }
    return first + std::clamp(day, 1, count) - 1;
}

bool ucMiniCal::handleCellKey(int index, const QKeyEvent& key) {
    if (!m_grid)
        return false;
    const int day = static_cast<int>(m_grid->cell(index).dayNumber);
    switch (key.key()) {
    case Qt::Key_Left:
        focusCell(cellOfDay(day - 1));
        return true;
    case Qt::Key_Right:
        focusCell(cellOfDay(day + 1));
        return true;
    case Qt::Key_Up:
        focusCell(cellOfDay(day - MonthGrid::kColumns));
        return true;
    case Qt::Key_Down:
        focusCell(cellOfDay(day + MonthGrid::kColumns));
        return true;
    case Qt::Key_Home:
        focusCell(cellOfDay(1));
        return true;
    case Qt::Key_End:
        focusCell(cellOfDay(31));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        lblJour_Click(index);
        return true;
    default:
        return false;
    }
}

bool ucMiniCal::handleTitleKey(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // As the mouse: the plain press gives the months, the other one the years.
        if (key.modifiers() & Qt::ShiftModifier)
            openYearList();
        else
            openMonthList();
        return true;
    case Qt::Key_Menu:
        openYearList();
        return true;
    default:
        return false;
    }
}

bool ucMiniCal::handleListKey(QListWidget* list, const QKeyEvent& key) {
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    if (list == m_lstMois)
        lstMois_Click();
    else
        lstAnnee_Click();
    return true;
}

bool ucMiniCal::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (watched == m_lblMoisAnnee) {
            lblMoisAnnee_MouseDown(me->button());
            return true;
        }
        // Taken here so that the release comes back to the same label; a quick second click on an
        // arrow counts as another click.
        if (watched == m_lblNext || watched == m_lblPrevious || cellIndex(watched) != 0)
            return me->button() == Qt::LeftButton;
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(event);
        const auto* w = qobject_cast<const QWidget*>(watched);
        if (!w || me->button() != Qt::LeftButton || !w->rect().contains(me->position().toPoint()))
            break;
        if (watched == m_lblNext) {
            lblNext_Click();
            return true;
        }
        if (watched == m_lblPrevious) {
            lblPrevious_Click();
            return true;
        }
        // Filters see events even of disabled widgets: the neighbouring months' days stay inert.
        if (const int i = cellIndex(watched)) {
            if (w->isEnabled())
                lblJour_Click(i);
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto& key = *static_cast<const QKeyEvent*>(event);
        // Alt+Down opens and Alt+Up closes wherever the focus is: the button and the cells would
        // take them as plain arrows, moving the focus instead.
        if ((key.modifiers() & Qt::AltModifier) && (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up)) {
            if ((key.key() == Qt::Key_Down) != isOpen())
                cmdDate_Click();
            return true;
        }
        if (const int i = cellIndex(watched))
            return handleCellKey(i, key);
        if (watched == m_lblMoisAnnee)
            return handleTitleKey(key);
        if (watched == m_lstMois || watched == m_lstAnnee)
            return handleListKey(static_cast<QListWidget*>(watched), key);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ucMiniCal::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F4:
        cmdDate_Click();
        return;
    case Qt::Key_Escape:
        if (isOpen()) {
            Ferme();
            return;
        }
        break;
    case Qt::Key_PageUp:
        if (isOpen()) {
            lblPrevious_Click();
            return;
        }
        break;
    case Qt::Key_PageDown:
        if (isOpen()) {
            lblNext_Click();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zento
