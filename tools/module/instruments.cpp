#include "tools/module/instruments.h"

#include "tools/module/voices.h"

std::vector<XmInstrument> MakeInstruments() {
    std::vector<XmInstrument> list = {
        MakeBass(),       MakeKick(), MakeSub(),   MakeHat(false), MakeHat(true),
        MakeSnare(),      MakePad(),  MakeArp(),   MakeLead(),     MakeCrash(),
        MakeShaker(),     MakeTom(),  MakeRiser(), MakeBell(),     MakeStab(),
        MakeDownlifter(), MakeRim(),  MakeChoir(), MakeRide(),     MakeOrgan(),
        MakeImpact(),     MakeZap(),  MakeClap(),  MakeCowbell(),  MakeWind(),
    };
    return list;
}
