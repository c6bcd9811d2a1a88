#include "gui/layout/GridwrightView.h"

#include "gui/common/GuiDocument.h"
#include "core/features/E00Rules.h"
#include "core/layout/CenterDrag.h"
#include "core/layout/DistanceUnit.h"
#include "gui/layout/MapPreviewWidget.h"
#include "core/layout/PreviewImages.h"
#include "gui/layout/PreviewSizeDialog.h"
#include "ui_TheaterForm.h"
#include "core/util/CNumbers.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace gw {
namespace {

// Replaces the box's text only when it differs, so that an unchanged box keeps its
// cursor and selection.
void Show(QLineEdit* box, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (box->text() != shown) box->setText(shown);
}

std::string Real(double value) { return FormatG(value, 15); }

// Widens a box of real numbers to show 15 significant digits with a sign and a point.
void FitRealNumbers(QLineEdit* box) {
    const int text = box->fontMetrics().horizontalAdvance(QStringLiteral("-0000000.00000000"));
    box->setMinimumWidth(std::max(box->minimumWidth(), text + 12));
}

}  // namespace

CGridwrightView::CGridwrightView(GuiDocument* document, QWidget* parent)
    : QWidget(parent), m_document(document), m_ui(std::make_unique<Ui::TheaterForm>()) {
    m_ui->setupUi(this);
    for (QLineEdit* box : {m_ui->dimensionXEdit, m_ui->dimensionYEdit, m_ui->centerLatEdit, m_ui->centerLongEdit,
                           m_ui->resolutionEdit}) {
        FitRealNumbers(box);
    }
    // Qt would complete a typed "25" to "256" unasked; the box takes what is typed.
    m_ui->segmentsXCombo->setCompleter(nullptr);
    ConnectHandlers();
    OnUpdate(0);
    OnInitialUpdate();
    connect(document, &GuiDocument::updated, this, &CGridwrightView::OnUpdate);
}

CGridwrightView::~CGridwrightView() = default;

MapPreviewWidget* CGridwrightView::mapPreview() const { return m_ui->mapPreview; }

void CGridwrightView::ConnectHandlers() {
    for (QObject* box : std::initializer_list<QObject*>{m_ui->segmentsXCombo, m_ui->segmentsYEdit, m_ui->centerLatEdit,
                                                        m_ui->centerLongEdit, m_ui->resolutionEdit}) {
        box->installEventFilter(this);
    }
    m_ui->mapPreview->installEventFilter(this);
    connect(m_ui->segmentsXCombo, &QComboBox::activated, this, &CGridwrightView::OnSegmentsXSelected);
    connect(m_ui->squareCheck, &QCheckBox::clicked, this, &CGridwrightView::OnSquareClicked);
    connect(m_ui->segmentsYEdit, &QLineEdit::textEdited, this, &CGridwrightView::OnSegmentsYEdited);
    connect(m_ui->unitsCombo, &QComboBox::activated, this, &CGridwrightView::OnUnitSelected);
    connect(m_ui->resolutionEdit, &QLineEdit::textEdited, this, &CGridwrightView::OnResolutionEdited);
    connect(m_ui->previewSizeButton, &QPushButton::clicked, this, &CGridwrightView::OnPreviewSize);
    connect(m_ui->mapPreview, &MapPreviewWidget::centerPicked, this, &CGridwrightView::OnCenterPicked);
    connect(m_ui->mapPreview, &MapPreviewWidget::pointerMoved, this, &CGridwrightView::OnPointerMoved);
    connect(m_ui->mapPreview, &MapPreviewWidget::pointerLeft, this, [this] { emit pointerTextChanged({}); });
    connect(m_ui->mapPreview, &MapPreviewWidget::zoomRequested, this, &CGridwrightView::ZoomAt);
}

void CGridwrightView::OnUpdate(int hint) {
    const CGridwrightDoc& doc = m_document->doc();
    if (hint == GuiDocument::kFeaturesChanged) {
        m_layout.m_title = doc.header().file_title;
        RebuildOverlayImage();
        m_layout.Recalculate();
        ShowLayout();
    } else {
        m_layout.OnDocumentUpdate(doc);
        RebuildElevationImage();
        m_ui->mapPreview->setFrame(m_layout.m_centerLat, m_layout.m_centerLong, doc.GetMapWidth(),
                                   doc.GetMapHeight());
        // A new window of a document that holds features shows them at once.
        RebuildOverlayImage();
        ShowLayout();
    }
    refreshStatusTexts();
}

void CGridwrightView::OnInitialUpdate() {
    // The units listed by name, each carrying its row of the unit table.
    std::vector<int> rows(kDistanceUnitCount);
    for (int row = 0; row < kDistanceUnitCount; ++row) rows[row] = row;
    std::sort(rows.begin(), rows.end(),
              [](int a, int b) { return std::strcmp(kDistanceUnits[a].name, kDistanceUnits[b].name) < 0; });
    for (const int row : rows) m_ui->unitsCombo->addItem(QString::fromLatin1(kDistanceUnits[row].name), row);
    m_ui->unitsCombo->setCurrentIndex(m_ui->unitsCombo->findData(0));

    for (const std::string& item : m_segmentChoices.items()) m_ui->segmentsXCombo->addItem(QString::fromStdString(item));
    m_ui->segmentsXCombo->setCurrentIndex(m_ui->segmentsXCombo->findText(QStringLiteral("64")));
    m_layout.SetSegmentsX("64");

    m_ui->squareCheck->setChecked(true);
    m_layout.OnSquareClicked(true);
    m_ui->segmentsYEdit->setEnabled(false);
    ShowLayout();
}

bool CGridwrightView::eventFilter(QObject* watched, QEvent* event) {
    // What is typed into a box while it has the focus, and a drag on the map, is one step.
    // Sessions are counted across the windows, so that the windows of one DEM, which share
    // their steps, never merge each other's.
    static long long sessions = 0;
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) m_editSession = ++sessions;
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        OnLostFocus(watched);
    }
    return QWidget::eventFilter(watched, event);
}

void CGridwrightView::OnLostFocus(QObject* control) {
    const TheaterLayout before = m_layout;
    if (control == m_ui->segmentsXCombo) {
        const QString text = m_ui->segmentsXCombo->currentText();
        if (m_segmentChoices.AddTyped(text.toStdString())) m_ui->segmentsXCombo->addItem(text);
        m_layout.SetSegmentsX(text.toStdString());
        RecordLayout(before, tr("Change Segments"));
    } else if (control == m_ui->centerLatEdit) {
        m_layout.OnCenterLatKillFocus(m_ui->centerLatEdit->text().toStdString());
        RecordLayout(before, tr("Change Centre Latitude"));
    } else if (control == m_ui->centerLongEdit) {
        m_layout.OnCenterLongKillFocus(m_ui->centerLongEdit->text().toStdString());
        RecordLayout(before, tr("Change Centre Longitude"));
    }
    // Segments Y and Resolution were read as they were typed; leaving them only shows
    // their values as the other boxes show them.
    ShowLayout();
}

void CGridwrightView::OnSegmentsXSelected(int index) {
    const TheaterLayout before = m_layout;
    m_layout.SetSegmentsX(m_ui->segmentsXCombo->itemText(index).toStdString());
    RecordLayout(before, tr("Change Segments"));
    ShowLayout();
}

void CGridwrightView::OnSquareClicked(bool checked) {
    const TheaterLayout before = m_layout;
    m_layout.OnSquareClicked(checked);
    RecordLayout(before, tr("Change Square"));
    m_ui->segmentsYEdit->setEnabled(!m_layout.m_square);
    ShowLayout();
}

void CGridwrightView::OnSegmentsYEdited(const QString& text) {
    const TheaterLayout before = m_layout;
    m_layout.OnSegmentsYChanged(text.toStdString());
    RecordLayout(before, tr("Change Segments"), TheaterStep::kTypeSegmentsY);
    ShowLayout(m_ui->segmentsYEdit);
}

void CGridwrightView::OnUnitSelected(int index) {
    const TheaterLayout before = m_layout;
    m_layout.OnUnitSelected(m_ui->unitsCombo->itemData(index).toInt());
    RecordLayout(before, tr("Change Unit"));
    ShowLayout();
}

void CGridwrightView::OnResolutionEdited(const QString& text) {
    const TheaterLayout before = m_layout;
    m_layout.OnResolutionChanged(text.toStdString());
    RecordLayout(before, tr("Change Resolution"), TheaterStep::kTypeResolution);
    ShowLayout(m_ui->resolutionEdit);
}

void CGridwrightView::OnCenterPicked(QPoint pixel) {
    const TheaterLayout before = m_layout;
    MoveCenterTo(m_layout, m_ui->mapPreview->frame(), {pixel.x(), pixel.y()});
    RecordLayout(before, tr("Move Centre"), TheaterStep::kMoveCentre);
    ShowLayout();
}

void CGridwrightView::OnPointerMoved(QPoint pixel) {
    const PreviewFrame& frame = m_ui->mapPreview->frame();
    const int feet = ElevationAtPixel(m_document->doc(), pixel.x(), pixel.y(), frame.imageWidth(), frame.imageHeight());
    emit pointerTextChanged(tr("Lat %1  Long %2  %3 ft")
                                .arg(frame.YToLat(pixel.y()), 0, 'f', 5)
                                .arg(frame.XToLong(pixel.x()), 0, 'f', 5)
                                .arg(feet));
}

void CGridwrightView::ShowLayout(const QLineEdit* typing) {
    m_ui->mapPreview->setOutline(m_layout.m_northLat, m_layout.m_southLat, m_layout.m_northWestLong,
                                 m_layout.m_northEastLong, m_layout.m_southWestLong, m_layout.m_southEastLong);
    const auto show = [typing](QLineEdit* box, const std::string& text) {
        if (box != typing) Show(box, text);
    };
    show(m_ui->titleEdit, m_layout.m_title);
    show(m_ui->dimensionXEdit, Real(m_layout.m_dimensionX));
    show(m_ui->dimensionYEdit, Real(m_layout.m_dimensionY));
    show(m_ui->centerLatEdit, Real(m_layout.m_centerLat));
    show(m_ui->centerLongEdit, Real(m_layout.m_centerLong));
    show(m_ui->resolutionEdit, Real(m_layout.m_resolution));
    show(m_ui->segmentsYEdit, std::to_string(m_layout.m_segmentsY));
    show(m_ui->tilesXEdit, std::to_string(m_layout.m_tilesX));
    show(m_ui->tilesYEdit, std::to_string(m_layout.m_tilesY));
}

void CGridwrightView::RebuildElevationImage() {
    m_ui->mapPreview->setPicture(
        BuildElevationImage(m_document->doc(), m_heights, m_layout.m_previewWidth, m_layout.m_previewHeight));
}

void CGridwrightView::RebuildOverlayImage() {
    m_ui->mapPreview->setOverlay(BuildOverlayImage(m_document->doc().features(), m_document->rules(),
                                                   m_ui->mapPreview->frame(), m_layout.m_previewWidth,
                                                   m_layout.m_previewHeight));
}

bool CGridwrightView::drawFeatures() const { return m_ui->mapPreview->drawFeatures(); }

void CGridwrightView::setDrawFeatures(bool on) { m_ui->mapPreview->setDrawFeatures(on); }

void CGridwrightView::OnPreviewSize() {
    PreviewSizeDialog dialog({m_layout.m_previewWidth, m_layout.m_previewHeight}, this);
    if (dialog.exec() != QDialog::Accepted) return;
    ApplyPreviewSize(dialog.chosen());
    fitWindowToMap();
}

bool CGridwrightView::zoom(int steps) {
    // The pointer's place when it is over the map's visible part, else that part's middle.
    const QWidget* viewport = m_ui->mapScroll->viewport();
    QPoint shown = viewport->mapFromGlobal(QCursor::pos());
    if (!viewport->rect().contains(shown)) shown = viewport->rect().center();
    const QPoint at = m_ui->mapPreview->mapFrom(viewport, shown);
    const QRect map = m_ui->mapPreview->rect();
    return ZoomAt(steps, QPointF(std::clamp(at.x(), 0, map.right()), std::clamp(at.y(), 0, map.bottom())));
}

bool CGridwrightView::ZoomAt(int steps, QPointF at) {
    const PreviewSize before{m_layout.m_previewWidth, m_layout.m_previewHeight};
    PreviewSize size = before;
    for (int step = 0; step < std::abs(steps); ++step) {
        if (!ZoomPreview(size, steps, size).ok()) break;
    }
    if (size == before) return false;
    // Where `at` shows in the scroll area's viewport; the same point of the new picture
    // goes there, as far as the scroll bars reach.
    const QPointF shown = at + QPointF(m_ui->mapPreview->pos());
    ApplyPreviewSize(size);
    fitWindowToMap();
    const QPointF moved(at.x() * size.width / before.width, at.y() * size.height / before.height);
    m_ui->mapScroll->horizontalScrollBar()->setValue(qRound(moved.x() - shown.x()));
    m_ui->mapScroll->verticalScrollBar()->setValue(qRound(moved.y() - shown.y()));
    return true;
}

void CGridwrightView::fitWindowToMap() {
    QWidget* window = parentWidget();
    QWidget* workspace = window ? window->parentWidget() : nullptr;
    if (!workspace || window->isMinimized() || window->isMaximized()) return;
    // The form asks for the map's new size once the scroll area does.
    m_ui->mapScroll->updateGeometry();
    // A workspace not shown yet has no size of its own to keep to.
    const QSize room = workspace->isVisible() ? workspace->size() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // A side the map overflows takes a scroll bar, which the other side makes room for.
    QSize wanted = window->sizeHint();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_ui->mapScroll);
    if (wanted.width() > room.width()) wanted.rheight() += bar;
    if (wanted.height() > room.height()) wanted.rwidth() += bar;
    const QSize size = wanted.boundedTo(room).expandedTo(window->minimumSizeHint());
    // Moved back as far as needed to keep it on the workspace.
    const QPoint place(std::max(0, std::min(window->x(), room.width() - size.width())),
                       std::max(0, std::min(window->y(), room.height() - size.height())));
    window->setGeometry(QRect(place, size));
}

void CGridwrightView::ApplyPreviewSize(PreviewSize size) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_layout.m_previewWidth = size.width;
    m_layout.m_previewHeight = size.height;
    RebuildElevationImage();
    m_layout.Recalculate();
    ShowLayout();
    RebuildOverlayImage();
    m_layout.Recalculate();
    ShowLayout();
    QApplication::restoreOverrideCursor();
}

void CGridwrightView::RecordLayout(const TheaterLayout& before, const QString& name, TheaterStep::Merge merge) {
    if (LayoutValues(before, false) == LayoutValues(m_layout, false)) return;
    const auto set = [](CGridwrightView& view, const TheaterLayout& layout) { view.restoreLayout(layout); };
    m_document->undoStack()->push(StateStep(name, this, before, m_layout, set, merge, m_editSession));
}

void CGridwrightView::setLayoutValues(const ProjectLayout& values) {
    TheaterLayout layout = m_layout;
    ApplyLayoutValues(values, layout);
    restoreLayout(layout);
}

void CGridwrightView::restoreLayout(const TheaterLayout& layout) {
    // The preview's size is the viewer's, not the theater's: a zoom since stays.
    const PreviewSize shown{m_layout.m_previewWidth, m_layout.m_previewHeight};
    m_layout = layout;
    m_layout.m_previewWidth = shown.width;
    m_layout.m_previewHeight = shown.height;
    const QString segments = QString::number(m_layout.m_segmentsX);
    if (m_segmentChoices.AddTyped(segments.toStdString())) m_ui->segmentsXCombo->addItem(segments);
    m_ui->segmentsXCombo->setCurrentIndex(m_ui->segmentsXCombo->findText(segments));
    m_ui->squareCheck->setChecked(m_layout.m_square);
    m_ui->segmentsYEdit->setEnabled(!m_layout.m_square);
    m_ui->unitsCombo->setCurrentIndex(m_ui->unitsCombo->findData(m_layout.m_unitIndex));
    ShowLayout();
}

void CGridwrightView::setObjectiveRules(const ObjectiveRuleSet& rules) {
    m_objectiveRules = rules;
    refreshStatusTexts();
}

void CGridwrightView::setHeights(HeightTable heights) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_heights = std::move(heights);
    RebuildElevationImage();
    RebuildOverlayImage();
    m_layout.Recalculate();
    ShowLayout();
    QApplication::restoreOverrideCursor();
}

QString CGridwrightView::objectiveRulesPaneText() const {
    return QStringLiteral("Obj Rules: ") + QString::fromStdString(m_objectiveRules.m_objRulesName);
}

QString CGridwrightView::featuresPaneText() const {
    return QString::number(m_document->doc().features().size()) + QStringLiteral(" features");
}

void CGridwrightView::refreshStatusTexts() {
    const QString rules = objectiveRulesPaneText();
    const QString features = featuresPaneText();
    if (rules == m_shownObjectiveRulesText && features == m_shownFeaturesText) return;
    m_shownObjectiveRulesText = rules;
    m_shownFeaturesText = features;
    emit statusTextsChanged();
}

}  // namespace gw
