// Makers of the individual instruments (drums.cpp: percussion and effects,
// tones.cpp: pitched, looped sounds). Each returns a complete instrument.
#pragma once

#include "tools/module/xm_writer.h"

XmInstrument MakeKick();
XmInstrument MakeSnare();
XmInstrument MakeHat(bool open);
XmInstrument MakeCrash();
XmInstrument MakeRide();
XmInstrument MakeShaker();
XmInstrument MakeTom();
XmInstrument MakeRim();
XmInstrument MakeClap();
XmInstrument MakeCowbell();
XmInstrument MakeImpact();
XmInstrument MakeZap();
XmInstrument MakeDownlifter();
XmInstrument MakeRiser();
XmInstrument MakeWind();

XmInstrument MakeBass();
XmInstrument MakeSub();
XmInstrument MakePad();
XmInstrument MakeArp();
XmInstrument MakeLead();
XmInstrument MakeBell();
XmInstrument MakeStab();
XmInstrument MakeChoir();
XmInstrument MakeOrgan();
