// The page's texts: what a model or schedule holds goes into the frame as text that runs nothing.
#include "webpage/LookTimeline.h"
#include "webpage/PageFrame.h"
#include "webpage/PageText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(PageText, HostileTextsAreEscapedForTheirPlace) {
    EXPECT_EQ(EscapeHtmlText("<img src=x onerror=alert(1)> & \"'"), "&lt;img src=x onerror=alert(1)&gt; &amp; &quot;&#39;");
    // In a script element neither a closing tag nor a line separator may stand as written.
    const std::string json = "[\"</script><b>&\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xA7\"]";
    EXPECT_EQ(JsonForScript(json), "[\"\\u003c/script\\u003e\\u003cb\\u003e\\u0026\\u2028\\u2029\xE2\x80\xA7\"]");
    // A truncated sequence at the end is left as it is, not read past.
    EXPECT_EQ(JsonForScript("\xE2\x80"), "\xE2\x80");
}

TEST(PageText, Base64OfEveryRemainder) {
    const uint8_t bytes[] = {'M', 'a', 'n', 0xFF, 0x00};
    EXPECT_EQ(Base64Of(std::span(bytes, 3)), "TWFu");
    EXPECT_EQ(Base64Of(std::span(bytes, 4)), "TWFu/w==");
    EXPECT_EQ(Base64Of(std::span(bytes, 5)), "TWFu/wA=");
    EXPECT_EQ(Base64Of({}), "");
}

TEST(PageFrame, EachMarkerIsReplacedOnceAndAReplacementIsNotReadAgain) {
    const uint8_t glb[] = {1, 2, 3};
    const std::string page = FillPageFrame("<title>@BV-TITLE@</title><s>@BV-DATA@</s><g>@BV-GLB@</g>", "@BV-GLB@<x>",
                                           "{\"a\":\"</script>\"}", glb);
    EXPECT_EQ(page, "<title>@BV-GLB@&lt;x&gt;</title><s>{\"a\":\"\\u003c/script\\u003e\"}</s><g>AQID</g>");
    EXPECT_THROW(FillPageFrame("@BV-TITLE@ @BV-DATA@", "t", "{}", glb), std::invalid_argument);
    EXPECT_THROW(FillPageFrame("@BV-TITLE@ @BV-DATA@ @BV-GLB@ @BV-DATA@", "t", "{}", glb), std::invalid_argument);
    // The frame the add-on carries holds each marker once.
    EXPECT_NO_THROW(FillPageFrame(WebPageFrame(), "t", "{}", glb));
}

PageLook Look(PhaseLook::Kind kind, double drawn = 1.0, uint8_t transparency = 0) {
    PageLook p;
    p.look.kind = kind;
    p.look.drawn = drawn;
    p.look.transparency = transparency;
    if (drawn < 1.0) p.look.grow = GrowDirection::PlusZ;
    return p;
}

TEST(LookTimeline, StepsHoldAndRampsLeadOnToTheirEnds) {
    // Hidden to minute 100, growing over minutes 101-200, then its own look.
    auto lookAt = [](int64_t m) {
        if (m <= 100) return Look(PhaseLook::Kind::Hide);
        if (m <= 200) {
            PageLook p = Look(PhaseLook::Kind::Colour, static_cast<double>(m - 100) / 100.0);
            p.look.grow = GrowDirection::PlusZ;
            return p;
        }
        return Look(PhaseLook::Kind::Model);
    };
    const std::vector<TimelineStep> steps = MakeTimeline({100, 101, 200, 201, 0, 100}, lookAt);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].minute, 0);
    EXPECT_FALSE(steps[0].leadsOn);
    EXPECT_EQ(steps[1].minute, 101);
    EXPECT_TRUE(steps[1].leadsOn);
    EXPECT_DOUBLE_EQ(steps[1].look.look.drawn, 0.01);
    EXPECT_EQ(steps[2].minute, 200);
    EXPECT_DOUBLE_EQ(steps[2].look.look.drawn, 1.0);
    EXPECT_EQ(steps[3].minute, 201);
    EXPECT_EQ(steps[3].look.look.kind, PhaseLook::Kind::Model);
}

TEST(LookTimeline, AKinkOrAChangeBetweenTheGivenMinutesIsFound) {
    // A staggered share: nothing until 400, all from 600; a colour change at 777 nobody named.
    auto lookAt = [](int64_t m) {
        PageLook p = Look(PhaseLook::Kind::Colour, std::clamp((static_cast<double>(m) - 400.0) / 200.0, 0.0, 1.0));
        p.look.grow = GrowDirection::PlusZ;
        if (m >= 777) p.look.colour.red = 9;
        return p;
    };
    const std::vector<TimelineStep> steps = MakeTimeline({0, 1000}, lookAt);
    auto at = [&steps, &lookAt](int64_t m) {
        size_t k = 0;
        while (k + 1 < steps.size() && steps[k + 1].minute <= m) ++k;
        const TimelineStep& s = steps[k];
        if (!s.leadsOn) return s.look.look.drawn;
        const TimelineStep& n = steps[k + 1];
        return s.look.look.drawn + (n.look.look.drawn - s.look.look.drawn) * static_cast<double>(m - s.minute) /
                                       static_cast<double>(n.minute - s.minute);
    };
    for (int64_t m = 0; m <= 1000; m += 7) EXPECT_NEAR(at(m), lookAt(m).look.drawn, 1e-9) << m;
    bool changed = false;
    for (const TimelineStep& s : steps) changed = changed || (s.minute == 777 && s.look.look.colour.red == 9);
    EXPECT_TRUE(changed);
    EXPECT_LE(steps.size(), 6u);
}

} // namespace
