#include "curve/curve_bands.h"
#include "curve_fixture.h"

namespace gasecu {
namespace {

using test::CurveFormTest;

class CurveModel : public CurveFormTest {
protected:
    std::array<ButtonControl*, 6> Buttons() {
        return {&form.devir1000, &form.devir2000, &form.devir3000,
                &form.devir4000, &form.devir5000, &form.devir6000};
    }
};

TEST_F(CurveModel, BandButtonSelectsAndDeselectsItsBand) {
    form.devir2000_Click();
    EXPECT_EQ(form.BandSelected[1], 255);
    EXPECT_EQ(form.devir2000.backColour, 4095u);
    EXPECT_EQ(form.BandButtonPhase[1], 1);
    form.devir1000_Click();
    EXPECT_EQ(form.devir1000.backColour, colours::kButtonFace);

    form.devir123456.backColour = colours::kButtonFace;
    form.devir2000_Click();
    EXPECT_EQ(form.BandSelected[1], 0);
    EXPECT_EQ(form.devir2000.backColour, colours::kGrey);
    EXPECT_EQ(form.devir123456.backColour, colours::kGrey);
    EXPECT_EQ(form.BandButtonPhase[1], 0);
    EXPECT_EQ(form.BandButtonPhase[6], 0);  // the all-bands cycle is not touched
    EXPECT_EQ(form.BandSelected[0], 255);
}

TEST_F(CurveModel, AllBandsButtonKeepsItsOwnPhase) {
    // Selecting the bands one by one leaves the all-bands button at phase 0: its
    // next click selects all and colours every button.
    for (int b = 0; b < 6; ++b) form.devir_Click(b);
    form.devir123456_Click();
    EXPECT_EQ(form.devir123456.backColour, colours::kButtonFace);
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(form.BandSelected[b], 255);
        EXPECT_EQ(form.BandButtonPhase[b], 1);
        EXPECT_EQ(Buttons()[b]->backColour, curve::kBandButtonColours[b]);
    }
    // One band clicked off, then the all-bands button: its phase is 1, so it
    // deselects everything rather than selecting.
    form.devir4000_Click();
    EXPECT_EQ(form.BandSelected[3], 0);
    form.devir123456_Click();
    EXPECT_EQ(form.devir123456.backColour, colours::kGrey);
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(form.BandSelected[b], 0);
        EXPECT_EQ(form.BandButtonPhase[b], 0);
        EXPECT_EQ(Buttons()[b]->backColour, colours::kGrey);
    }
    EXPECT_EQ(form.BandButtonPhase[6], 0);
}

TEST_F(CurveModel, IdleButtonRoundsClampsAndRaisesEveryBand) {
    LoadDefaultCurve();
    form.Rolanti.enabled = true;
    form.DisplayedPetrolTime = 0;
    auto before = form.CurveTable;
    form.Rolanti_Click();
    EXPECT_FALSE(form.Rolanti.enabled);
    EXPECT_EQ(At(1, 2), 0);
    before[1][2] = 0;
    EXPECT_EQ(form.CurveTable, before);  // nothing raised

    form.DisplayedPetrolTime = 0.625;  // 12.5 units: a half, rounded away from zero
    form.Rolanti_Click();
    EXPECT_EQ(At(1, 2), 13);

    form.DisplayedPetrolTime = 13.0;  // 260 units: more than the ECU's byte holds
    form.Rolanti_Click();
    EXPECT_EQ(At(1, 2), 255);
    // No band starts below the idle level, selected or not; higher points stay.
    for (int r = 3; r <= 8; ++r) {
        for (int p = 1; p <= 18; ++p) {
            const double expected = 30 * p < 255 ? 255 : 30 * p;
            EXPECT_EQ(At(r, p), expected) << r << "/" << p;
        }
    }
    EXPECT_EQ(At(2, 1), 30);  // the axis is not a band
}

}  // namespace
}  // namespace gasecu
