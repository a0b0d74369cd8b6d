// The fuel display: which fuel the engine runs on, as the ECU reports it in byte 2
// of every reply, and the picture that switches to the other fuel.
#include "app/form1korvane.h"

namespace gasecu {

void Form1Korvane::ShowFuelStatus(int fuelStatus) {
    bool petrol = fuelStatus == 2 || fuelStatus == 20;
    bool gas = fuelStatus == 1;
    bool changingOver = fuelStatus == 3;
    if (!petrol && !gas && !changingOver) return;  // no meaning: the display stays
    ImgBenzin.visible = petrol;
    ImgGaz.visible = gas;
    ImgGazGeçiş.visible = changingOver;
    LPGPic.visible = petrol;      // on petrol the fitter may switch to gas
    BenzinPic.visible = !petrol;  // on gas (or changing over) back to petrol
}

}  // namespace gasecu
