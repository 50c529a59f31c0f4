#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// Prints, after the usual table, how many times the floor a search for a call in no file
// takes: the figure the search is judged by. Medians of the repetitions when there are any.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            Times &times = m_times[run.run_name.function_name];
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times.median
                    = { run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit };
            else if (run.run_type == Run::RT_Iteration)
                times.runs.push_back(
                    { run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit });
        }
    }

    void printRatio(const std::string &search, const std::string &floor) const
    {
        const auto s = m_times.find(search), f = m_times.find(floor);
        if (s == m_times.end() || f == m_times.end())
            return;
        const Pair a = s->second.value(), b = f->second.value();
        std::printf("\n%s / %s: %.2f (wall time), %.2f (CPU time)\n", search.c_str(), floor.c_str(),
            a.real / b.real, a.cpu / b.cpu);
    }

private:
    struct Pair
    {
        double real = 0, cpu = 0;
    };
    struct Times
    {
        Pair median;
        std::vector<Pair> runs;
        Pair value() const
        {
            if (median.real > 0 || runs.empty())
                return median;
            auto middle = [this](double Pair::*field) {
                std::vector<double> v;
                for (const Pair &p : runs)
                    v.push_back(p.*field);
                std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
                return v[v.size() / 2];
            };
            return { middle(&Pair::real), middle(&Pair::cpu) };
        }
    };
    std::map<std::string, Times> m_times;
};

} // namespace

int main(int argc, char **argv)
{
    // The main window is built without showing it; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_FindStation_NotListed", "BM_SearchFloor_PlainReads");
    benchmark::Shutdown();
    return 0;
}
