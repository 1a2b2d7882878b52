#include "tables/ui/SectionHeader.h"

#include <QFontMetricsF>
#include <QStandardItemModel>

namespace korvo {

TSectionHeader::TSectionHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), sections_(new QStandardItemModel(this)) {
  setModel(sections_);
  setSectionsClickable(true);
  setStretchLastSection(true);
  setHighlightSections(false);
}

void TSectionHeader::SetSections(const QStringList& titles, const std::vector<int>& chars, const QFont& font,
                                 int lead) {
  sections_->clear();
  sections_->setColumnCount(static_cast<int>(titles.size()));
  sections_->setHorizontalHeaderLabels(titles);
  const QFontMetricsF metrics(font);
  for (int i = 0; i < static_cast<int>(chars.size()) && i < titles.size(); ++i) {
    const QString columns(chars[static_cast<std::size_t>(i)], QLatin1Char('M'));
    resizeSection(i, qRound(metrics.horizontalAdvance(columns)) + (i == 0 ? lead : 0));
  }
  setFixedHeight(sizeHint().height());
}

}  // namespace korvo
