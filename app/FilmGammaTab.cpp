#include "app/FilmGammaTab.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "app/ChartParts.h"

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
  if (curve_) return;
  auto* chart = new QChart;
  chart->legend()->hide();
  curve_ = new QLineSeries(chart);
  chart->addSeries(curve_);
  for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignLeft}) {
    auto* axis = new QValueAxis(chart);
    axis->setRange(0, 1023);
    axis->setLabelFormat("%d");
    chart->addAxis(axis, side);
    curve_->attachAxis(axis);
  }
  QChartView* view = MakeChartView(chart);
  view->setObjectName("filmGammaChart");
  static_cast<QVBoxLayout*>(chartPage_->layout())->addWidget(view, 1);
  QWidget::setTabOrder(pages_->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly), view);
  ShowCurve();
}

void FilmGammaTab::ShowTable(const UserMemoryTables::FilmGammaTable& table) {
  Table().Fill({std::vector<std::int32_t>(table.begin(), table.end())});
  shown_ = table;
  if (curve_) ShowCurve();
}

void FilmGammaTab::ShowCurve() {
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(shown_.size()));
  for (std::size_t i = 0; i < shown_.size(); ++i)
    points.append(QPointF(static_cast<double>(i), shown_[i]));
  curve_->replace(points);
}

}  // namespace velluma
