#include <gtest/gtest.h>

#include "foundation/forms.h"

namespace pellorin::forms {
namespace {

const ControlLayout box{Kind::textBox, "Box", "start", 0, 0, 100, 100};
const ControlLayout check{Kind::checkBox, "Check", "Tick", 0, 0, 100, 100};
const ControlLayout first{Kind::optionButton, "First", "1", 0, 0, 10, 10, "", true, true, true};
const ControlLayout second{Kind::optionButton, "Second", "2", 0, 0, 10, 10};
const ControlLayout list{Kind::listBox, "List", "", 0, 0, 10, 10};

struct RecordingPeer : ControlPeer {
    std::vector<Aspect> updates;
    void update(Control&, Aspect aspect) override { updates.push_back(aspect); }
};

TEST(Forms, CodeChangesRaiseHandlersOnlyWhenTheStateChanges) {
    TextBox text{box};
    CheckBox tick{check};
    int changes = 0, clicks = 0;
    text.onChange = [&] { ++changes; };
    tick.onClick = [&] { ++clicks; };
    text.setText("start");
    tick.setChecked(false);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(clicks, 0);
    text.setText("other");
    tick.setChecked(true);
    tick.setChecked(true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(Forms, TextBoxesEndAtANulAsRealOnesDo) {
    TextBox text{box};
    text.setText(std::string("Expl\0orer", 9));
    EXPECT_EQ(text.text(), "Expl");
}

TEST(Forms, HandlersSeeTheNewState) {
    TextBox text{box};
    std::string seen;
    text.onChange = [&] { seen = text.text(); };
    text.setText("new");
    EXPECT_EQ(seen, "new");
}

TEST(Forms, OptionsOfAGroupExcludeEachOther) {
    OptionButton a{first}, b{second};
    std::vector<OptionButton*> group{&a, &b};
    a.joinGroup(&group);
    b.joinGroup(&group);
    RecordingPeer peer;
    a.attach(&peer);
    b.select();
    EXPECT_FALSE(a.selected());
    EXPECT_TRUE(b.selected());
    EXPECT_EQ(peer.updates, std::vector<Aspect>{Aspect::checked});
    a.select();
    EXPECT_TRUE(a.selected());
    EXPECT_FALSE(b.selected());
}

TEST(Forms, ListSelectionFollowsRemovals) {
    ListBox items{list};
    items.addItem("a", 1);
    items.addItem("b", 2);
    items.addItem("c", 3);
    items.select(2);
    items.removeItem(0);
    EXPECT_EQ(items.selectedIndex(), 1);
    EXPECT_EQ(items.item(1).data, 3);
    items.removeItem(1);
    EXPECT_EQ(items.selectedIndex(), -1);
    EXPECT_EQ(items.itemText(5), "");
    items.select(7);  // out of range: ignored
    EXPECT_EQ(items.selectedIndex(), -1);
}

TEST(Forms, TimersTickOnlyWhenEnabledAndTellTheHost) {
    Timer timer{100, false};
    int ticks = 0, hostCalls = 0;
    timer.onTick = [&] { ++ticks; };
    timer.onEnabledChanged = [&](Timer&) { ++hostCalls; };
    timer.tick();
    timer.setEnabled(true);
    timer.setEnabled(true);
    timer.tick();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(hostCalls, 1);
}

TEST(Forms, DisabledMenuEntriesDoNothing) {
    MenuItem entry{"menexit", "Exit"};
    int clicks = 0;
    entry.onClick = [&] { ++clicks; };
    entry.setEnabled(false);
    entry.click();
    entry.setEnabled(true);
    entry.click();
    EXPECT_EQ(clicks, 1);
}

TEST(Forms, AMovedFrameTakesWhatItHoldsAlong) {
    const ControlLayout frameLayout{Kind::frame, "Frame", "", 100, 200, 1000, 1000};
    const ControlLayout inside{.kind = Kind::label,
                               .name = "Inside",
                               .caption = "",
                               .left = 10,
                               .top = 20,
                               .width = 30,
                               .height = 40,
                               .container = "Frame"};
    Control frame{frameLayout};
    Label label{inside};
    label.placeIn(frame);
    RecordingPeer framePeer, labelPeer;
    frame.attach(&framePeer);
    label.attach(&labelPeer);
    EXPECT_EQ(label.windowLeft(), 110);
    frame.setPlace({100, 200, 1000, 1000});  // where it is: nothing to do
    EXPECT_TRUE(framePeer.updates.empty());
    frame.setPlace({500, 600, 1000, 1000});
    EXPECT_EQ(framePeer.updates, std::vector<Aspect>{Aspect::place});
    EXPECT_EQ(labelPeer.updates, std::vector<Aspect>{Aspect::place});
    EXPECT_EQ(label.windowLeft(), 510);
    EXPECT_EQ(label.windowTop(), 620);
}

}  // namespace
}  // namespace pellorin::forms
