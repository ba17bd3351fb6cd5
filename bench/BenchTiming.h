#pragma once

// Timing helpers shared by the benchmarks.

#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

inline QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

// Median time of `work` in milliseconds, each run after an untimed `prepare`.
inline double medianMs(int repeat, const std::function<void()> &work, const std::function<void()> &prepare = [] {})
{
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
