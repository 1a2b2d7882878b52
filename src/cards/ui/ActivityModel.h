#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/ActivityRows.h"

namespace korvo {

class TDatabase;

// The activity grid over a run of the list. Rows are read a window at a time as the view scrolls to
// them, so a list of a million activities opens at once. A window read by its offset steps over every
// row before it; once the operator has scrolled that deep, the run is counted (one pass, about a second
// for a million rows) and every later window reads only its own rows.
class TActivityModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kWindow = 256;
  static constexpr int kCountAfter = 64 * kWindow;

  TActivityModel(TDatabase& db, QObject* parent = nullptr);
  ~TActivityModel() override;

  // Shows a run anew. Raises the engine's error; the grid then stays as it was.
  void Show(const TActivityRun& run);
  // The run shown; the Full form without conditions before the first Show.
  const TActivityRun& Run() const { return run_; }
  // The windows read since the last Show, the first included.
  int Windows() const { return windows_; }
  // Where a window that cannot be read is reported; the grid then ends at the rows it has.
  std::function<void(const std::string&)> OnError;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

 private:
  std::vector<TActivityListRow> Read(TActivityRowSource& source, int offset);

  TDatabase& db_;
  TActivityRun run_;
  std::unique_ptr<TActivityRowSource> source_;
  std::vector<TActivityListRow> rows_;
  bool more_ = false;
  bool counted_ = false;
  int windows_ = 0;
};

}  // namespace korvo
