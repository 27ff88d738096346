// The diagram numbers as text: CSV for files and the batch tool, tab-separated for the
// clipboard.

#include "views/DiagramExport.h"
#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

using namespace tv;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(DiagramText, EveryNumberReadsBackToTheSameDouble) {
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.1, 1.0 / 3, -0.0, 1e-300, 123456789012.5, 5e-324, -inf, inf};
    DiagramNumbers d;
    d.Curves.push_back({"AD(3)", {}});
    for (double v : values)
        d.Curves[0].Points.push_back({v, -v});
    const std::vector<std::string> lines = Lines(DiagramCsv(d));
    ASSERT_EQ(lines.size(), std::size(values) + 1);
    EXPECT_EQ(lines[0], "curve,k,x,y");
    for (size_t k = 0; k < std::size(values); ++k) {
        const std::string& line = lines[k + 1];
        const std::string prefix = "AD(3)," + std::to_string(k) + ",";
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
        const std::string rest = line.substr(prefix.size());
        const std::string x = rest.substr(0, rest.find(',')), y = rest.substr(rest.find(',') + 1);
        EXPECT_EQ(x, FormatShortest(values[k]));
        EXPECT_EQ(y, FormatShortest(-values[k]));
        if (std::isfinite(values[k])) {
            double back = 0;
            std::from_chars(x.data(), x.data() + x.size(), back);
            EXPECT_EQ(0, std::memcmp(&back, &values[k], sizeof back)) << x;
        }
    }
    EXPECT_EQ(FormatShortest(std::nan("")), "nan");
}

TEST(DiagramText, NamesAndSeparators) {
    DiagramNumbers d;
    d.Curves.push_back({"goods:45°", {{0, 0}, {2.5, 2.5}}});
    d.Curves.push_back({"a,\"b\"", {{-1.25, 1e21}}});
    d.Curves.push_back({"empty", {}});
    EXPECT_EQ(DiagramCsv(d), "curve,k,x,y\n"
                             "goods:45°,0,0,0\n"
                             "goods:45°,1,2.5,2.5\n"
                             "\"a,\"\"b\"\"\",0,-1.25,1e+21\n");
    EXPECT_EQ(DiagramTabText(d, ','), "curve\tk\tx\ty\n"
                                      "goods:45°\t0\t0\t0\n"
                                      "goods:45°\t1\t2,5\t2,5\n"
                                      "a,\"b\"\t0\t-1,25\t1e+21\n");
    EXPECT_EQ(DiagramTabText({}), "curve\tk\tx\ty\n");
}

} // namespace
