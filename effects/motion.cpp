// The effects' motion variables. Start-up gives them their initial values
// (InitSceneVariables); each effect steps its own while it is drawn.
#include "effects/effects.h"

float sceneDepth;
float scrollPos;
float tunnelAdvance;
float tunnelRoll;
float spinAngle;
float panelOffsetA;
float panelOffsetB;
float panelOffsetC;
float slidePhase;
float shininess;

// Start-up points them at the driver's fixed arrays; the lit object reads them.
float *outerEmission;
float *innerEmission;
