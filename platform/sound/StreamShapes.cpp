#include "platform/sound/StreamShapes.h"
#include <cstddef>

namespace sound {

std::vector<StreamShape> streamShapes(double iWantedRate, double iDefaultRate, int iMaxOut, int iMaxIn,
                                      bool iForOutput) {
    std::vector<double> rates;
    if (iWantedRate >= 44100) rates.push_back(iWantedRate);
    rates.insert(rates.end(), {44100.0, 48000.0, iDefaultRate});
    std::vector<int> outs;
    for (int ch : {1, 2, iMaxOut})
        if (ch >= 1 && ch <= iMaxOut) outs.push_back(ch);
    std::vector<int> ins;
    for (int ch : {1, 2})
        if (ch <= iMaxIn) ins.push_back(ch);
    std::vector<StreamShape> shapes;
    const auto add = [&](const std::vector<int>& iOuts, const std::vector<int>& iIns) {
        for (double rate : rates)
            for (int out : iOuts)
                for (std::size_t i = 0; i < iIns.size(); ++i)
                    shapes.push_back({rate, out, iIns[i], iIns[i] == 0 && i > 0});
    };
    if (iMaxOut > 0 && iMaxIn > 0) add(outs, ins);
    if (iForOutput)
        add(outs, {0, 0});   // an output alone, with its second try
    else
        add({0}, ins);
    return shapes;
}

}
