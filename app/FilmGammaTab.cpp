#include "app/FilmGammaTab.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "app/ChartParts.h"

namespace velluma {

FilmGammaTab::FilmGammaTab(QWidget* parent)
    : MemoryTableTab("filmGamma", {"", "      W"}, "%8d", UserMemoryTables::kFilmGammaEntries, 151,
                     parent) {
  Row().setContentsMargins(16, 3, 8, 3);
  auto* pages = new QTabWidget(this);
  pages->setObjectName("filmGammaPages");
  pages->addTab(BuildChartPage(), "Gamma Chart");
  Row().addWidget(pages, 1);
}

// The chart's own title is centred; the "GAMMA" title stands right-aligned above it.
QWidget* FilmGammaTab::BuildChartPage() {
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
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* title = new QLabel("GAMMA", page);
  title->setAlignment(Qt::AlignRight);
  layout->addWidget(title);
  layout->addWidget(view, 1);
  return page;
}

void FilmGammaTab::ShowTable(const UserMemoryTables::FilmGammaTable& table) {
  Table().Fill({std::vector<std::int32_t>(table.begin(), table.end())});
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(table.size()));
  for (std::size_t i = 0; i < table.size(); ++i)
    points.append(QPointF(static_cast<double>(i), table[i]));
  curve_->replace(points);
}

}  // namespace velluma
