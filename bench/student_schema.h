#pragma once
// The 122 stored fields of a student file, in their physical order.
#include "dbase/index.h"

#include <string>
#include <vector>

namespace zedora::bench {

inline std::vector<zedora::dbase::FieldDesc> studentFields() {
    struct F { const char* name; char type; int width; };
    static const F fields[] = {
        {"NAME", 'C', 25}, {"VORNAME", 'C', 25}, {"MW", 'C', 1}, {"KLASSE", 'C', 7}, {"GEBOREN", 'C', 10},
        {"GEBORT", 'C', 25}, {"TELEFON", 'C', 30}, {"STAATS", 'C', 25}, {"KONF", 'C', 12},
        {"STRASSE", 'C', 25}, {"ORT", 'C', 25}, {"STAMMF1", 'C', 40}, {"STAMMF2", 'C', 40},
        {"DE", 'C', 2}, {"RS", 'C', 2}, {"EN", 'C', 2}, {"KE", 'C', 2}, {"MA", 'C', 2}, {"KM", 'C', 2},
        {"LA", 'C', 2}, {"FR", 'C', 2}, {"GR", 'C', 2}, {"RE", 'C', 2}, {"KO", 'C', 2}, {"WN", 'C', 2},
        {"SP", 'C', 2}, {"WU", 'C', 2}, {"GE", 'C', 2}, {"EK", 'C', 2}, {"SO", 'C', 2}, {"PH", 'C', 2},
        {"CH", 'C', 2}, {"BI", 'C', 2}, {"MU", 'C', 2}, {"KU", 'C', 2}, {"WE", 'C', 2}, {"TG", 'C', 2},
        {"AL", 'C', 2}, {"TE", 'C', 2}, {"HW", 'C', 2}, {"SF", 'C', 2}, {"SA", 'C', 2},
        {"FF1", 'C', 25}, {"FFZ1", 'C', 2}, {"FF2", 'C', 25}, {"FFZ2", 'C', 2},
        {"WPK1", 'C', 25}, {"WP1", 'C', 2}, {"WPK2", 'C', 25}, {"WP2", 'C', 2}, {"WPK3", 'C', 25},
        {"WP3", 'C', 2}, {"WPK4", 'C', 25}, {"WP4", 'C', 2}, {"WFK1", 'C', 25}, {"WF1", 'C', 2},
        {"WFK2", 'C', 25}, {"WF2", 'C', 2}, {"WFK3", 'C', 25}, {"WF3", 'C', 2}, {"WFK4", 'C', 25},
        {"WF4", 'C', 2}, {"TB1", 'M', 10}, {"TB2", 'M', 10}, {"TB3", 'M', 10}, {"TB4", 'M', 10},
        {"TB5", 'M', 10}, {"TB6", 'M', 10}, {"TB7", 'M', 10}, {"TB8", 'M', 10}, {"ABSCH", 'C', 4},
        {"KODAT", 'C', 10}, {"NOTE1", 'C', 2}, {"NOTE2", 'C', 2}, {"JOKE1", 'C', 60}, {"JOKE2", 'C', 60},
        {"AG1", 'C', 60}, {"NAECH", 'C', 10}, {"ID", 'C', 15}, {"VS1", 'C', 3}, {"VS12", 'C', 3},
        {"UE1", 'C', 3}, {"UE12", 'C', 3}, {"AG2", 'C', 60}, {"AG3", 'C', 60}, {"PLZ", 'C', 5},
        {"ANR1", 'C', 50}, {"ANR2", 'C', 50}, {"TB9", 'M', 10}, {"TB10", 'M', 10}, {"FOE1", 'C', 25},
        {"FOE2", 'C', 25}, {"K1", 'C', 2}, {"K2", 'C', 2}, {"K3", 'C', 2}, {"K4", 'C', 2}, {"KD", 'C', 2},
        {"TB11", 'M', 10}, {"TB12", 'M', 10}, {"TB13", 'M', 10}, {"TF1", 'C', 60}, {"TF2", 'C', 60},
        {"FOE3", 'C', 25}, {"FOE4", 'C', 25}, {"NOTE3", 'C', 2}, {"NOTE4", 'C', 2}, {"NOTE5", 'C', 2},
        {"NOTE6", 'C', 2}, {"NOTE7", 'C', 2}, {"NOTE8", 'C', 2}, {"NOTEX", 'C', 2}, {"KX", 'C', 2},
        {"TB14", 'M', 10}, {"TB15", 'M', 10}, {"TB16", 'M', 10}, {"TB17", 'M', 10}, {"TB18", 'M', 10},
        {"TB19", 'M', 10}, {"TB20", 'M', 10}, {"TB21", 'M', 10}, {"TB22", 'M', 10}, {"TB23", 'M', 10},
    };
    std::vector<zedora::dbase::FieldDesc> out;
    int offset = 1;
    for (const F& f : fields) {
        out.push_back({f.name, f.type, f.width, 0, offset});
        offset += f.width;
    }
    return out;
}

} // namespace zedora::bench
