#include "layout/GridwrightView.h"

#include "app/GuiDocument.h"

namespace gw {

CGridwrightView::CGridwrightView(GuiDocument* document, QWidget* parent) : QWidget(parent), m_document(document) {
    m_layout.OnDocumentUpdate(document->doc());
    m_layout.OnInitialUpdate();
}

CGridwrightView::~CGridwrightView() = default;

void CGridwrightView::setDrawFeatures(bool on) { m_drawFeatures = on; }

void CGridwrightView::OnPreviewSize() {}

QString CGridwrightView::objectiveRulesPaneText() const {
    return QString::fromStdString("Obj Rules: " + m_objectiveRules.m_objRulesName);
}

QString CGridwrightView::featuresPaneText() const {
    return QString::number(m_document->doc().features().size()) + " features";
}

}  // namespace gw
