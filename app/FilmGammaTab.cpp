#include "app/FilmGammaTab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ChartView.h"

namespace velluma {

FilmGammaTab::FilmGammaTab(QWidget* parent)
    : MemoryTableTab("filmGamma", {"", "      W"}, "%8d", UserMemoryTables::kFilmGammaEntries, 151,
                     parent) {
  Row().setContentsMargins(16, 3, 8, 3);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("filmGammaPages");
  // The chart's own title is centred; the "GAMMA" title stands right-aligned above it.
  chartPage_ = new QWidget;
  auto* layout = new QVBoxLayout(chartPage_);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* title = new QLabel("GAMMA", chartPage_);
  title->setAlignment(Qt::AlignRight);
  layout->addWidget(title);
  pages_->addTab(chartPage_, "Gamma Chart");
  Row().addWidget(pages_, 1);
}

void FilmGammaTab::showEvent(QShowEvent* event) {
  MakeChart();
  QWidget::showEvent(event);
}

// The chart under its title, reached by the Tab key right after the page tab.
void FilmGammaTab::MakeChart() {
  if (chart_) return;
  chart_ = new ChartView;
  chart_->setObjectName("filmGammaChart");
  static_cast<QVBoxLayout*>(chartPage_->layout())->addWidget(chart_, 1);
  QWidget::setTabOrder(pages_->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly), chart_);
  ShowCurve();
}

void FilmGammaTab::ShowTable(const UserMemoryTables::FilmGammaTable& table) {
  Table().Fill({std::vector<std::int32_t>(table.begin(), table.end())});
  shown_ = table;
  if (chart_) ShowCurve();
}

// Entry against index, both on 0 to 1023 in steps of 128.
void FilmGammaTab::ShowCurve() {
  ChartData data;
  data.legend = false;
  for (ChartData::Axis* axis : {&data.x, &data.y}) {
    axis->high = UserMemoryTables::kFilmGammaEntries - 1;
    axis->step = 128;
    axis->decimals = 0;
  }
  ChartData::Series curve;
  curve.colour = QColor(0x20, 0x9f, 0xdf);
  curve.points.reserve(static_cast<qsizetype>(shown_.size()));
  for (std::size_t i = 0; i < shown_.size(); ++i)
    curve.points.append(QPointF(static_cast<double>(i), shown_[i]));
  data.series.push_back(std::move(curve));
  chart_->SetData(std::move(data));
}

}  // namespace velluma
