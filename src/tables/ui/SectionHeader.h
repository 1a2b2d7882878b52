#pragma once

#include <QHeaderView>
#include <QStringList>
#include <vector>

class QStandardItemModel;

namespace korvo {

// The header bar above a check list of fixed-column rows: one section per column of the rows' text,
// each as wide as its characters in the list's font. A click on a section reports its index.
class TSectionHeader : public QHeaderView {
  Q_OBJECT
 public:
  explicit TSectionHeader(QWidget* parent = nullptr);
  // The titles and the widths in characters of `font`; the first section also covers `lead` pixels
  // (the rows' check boxes), the last one takes what is left.
  void SetSections(const QStringList& titles, const std::vector<int>& chars, const QFont& font, int lead);

 private:
  QStandardItemModel* sections_;
};

}  // namespace korvo
