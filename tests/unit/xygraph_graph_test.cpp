// The chart as a whole: every change of the picture requests a repaint, and the stream form of
// the value lists under the series. What a chart draws (clipping too) is in the sample pictures.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "xyGraph/graph_lists.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

// A graph with a grid and one series of each kind, each holding a point.
struct Everything {
  TXYGraph graph;
  TXYLineSeries line;
  TXYMarkerSeries markers;
  TXYArrowSeries arrows;
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  TXYPolyPolygonSeries polygons;
  TXYInequalSeries regions;
  Everything() {
    graph.SetGridStyle(gsBoth);
    for (TXYGraphSeries* s : std::vector<TXYGraphSeries*>{&line, &markers, &arrows, &bubbles, &bars, &polygons, &regions}) {
      s->SetParentGraph(&graph);
      s->Add(1, 1);
    }
  }
};

TEST(XYGraph, EveryChangeOfThePictureRequestsARepaint) {
  using E = Everything&;
  // clang-format off
  const std::function<void(E)> changes[] = {
      [](E e) { e.graph.SetAutoAspectRatio(true); }, [](E e) { e.graph.SetAxesFront(true); }, [](E e) { e.graph.SetBackColor(0); },
      [](E e) { e.graph.SetGridPen({}); }, [](E e) { e.graph.SetGridStyle(gsBoth); }, [](E e) { e.graph.SetPiSymbol("π"); },
      [](E e) { e.graph.SetSubGridPen({}); }, [](E e) { e.graph.SetTitle({"t"}); }, [](E e) { e.graph.SetTitleFont({}); },
      [](E e) { e.graph.SetTitleAlignment(taCenter); }, [](E e) { e.graph.SetBounds(9, 9); }, [](E e) { e.graph.SetColor(0); },
      [](E e) { e.graph.BeginLoading(); e.graph.EndLoading(); }, [](E e) { e.graph.SetSubGrid(true); },
      [](E e) { e.graph.YAxis().SetTitle("y"); }, [](E e) { e.graph.YAxis().SetMax(20); },
      [](E e) { e.graph.YAxis().SetAutoMax(true); }, [](E e) { e.graph.XAxis().SetInverted(true); },
      [](E e) { e.line.SetSeriesColor(0); }, [](E e) { e.line.SetActive(false); }, [](E e) { e.line.Add(2, 2); },
      [](E e) { e.line.Delete(0); }, [](E e) { e.line.Clear(); }, [](E e) { e.line.SetDisContinue(true); },
      [](E e) { e.line.SetLinePen({}); }, [](E e) { e.markers.SetJoined(true); }, [](E e) { e.markers.SetMarker({}); },
      [](E e) { e.arrows.SetArrowSize(9); }, [](E e) { e.bubbles.SetBrush({}); }, [](E e) { e.bubbles.SetPen({}); },
      [](E e) { e.bubbles.SetMaxSizeRate(20); }, [](E e) { e.bars.SetJoined(false); }, [](E e) { e.bars.SetBarSize(4); },
      [](E e) { e.bars.SetPen({}); }, [](E e) { e.polygons.EndPolygon(); }, [](E e) { e.polygons.SetBrush({}); },
      [](E e) { e.regions.EndGroup(); }, [](E e) { std::stringstream s; e.line.WriteData(s); e.line.ReadData(s); },
      [](E e) { e.line.SetParentGraph(nullptr); }, [](E e) { TXYLineSeries other; other.SetParentGraph(&e.graph); }};
  // clang-format on
  for (size_t i = 0; i < std::size(changes); ++i) {
    int requests = 0;  // outlives the graph: its series ask for a repaint as they go
    Everything e;
    e.graph.OnRepaintRequest = [&](TXYGraph& sender) { requests += &sender == &e.graph; };
    changes[i](e);
    EXPECT_GT(requests, 0) << "change " << i;
  }
}

TEST(GraphLists, StreamFormIsCountThenLittleEndianDoubles) {
  TGraphValueList list;
  list.Add(1.0);
  list.Add(-2.5);
  std::ostringstream out;
  list.WriteTo(out);
  const unsigned char expected[] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0x04, 0xC0};
  EXPECT_EQ(out.str(), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
  TGraphValueList read;
  read.Add(99);
  std::istringstream in(out.str());
  read.ReadFrom(in);
  EXPECT_EQ(read.Values(), (std::vector<double>{1.0, -2.5}));
  EXPECT_EQ(read.MinIndex(), 1);  // the extremes are those of the values read
}

}  // namespace
}  // namespace orv::xy
