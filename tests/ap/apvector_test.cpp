// Unit tests of apvector: how elements start, checked indexing, deep copies,
// resizing, and element lifetimes.
#include "apvector.h"

#include "apstring.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// An element that records every live instance, so that a second destruction,
// a missed one or a use of a dead element fails the test.
struct Tracked {
    static std::set<const Tracked*> live;
    static int made;
    static int failAt;  // the construction that throws, counted by `made`
    int value = 0;

    Tracked() { enter(); }
    Tracked(const Tracked& other) : value(other.value) { enter(); }
    Tracked& operator=(const Tracked& other) {
        EXPECT_TRUE(live.count(this) && live.count(&other)) << "assignment involving a dead element";
        value = other.value;
        return *this;
    }
    ~Tracked() { EXPECT_EQ(live.erase(this), 1u) << "destroyed twice, or never made"; }

    void enter() {
        if (++made == failAt) throw std::runtime_error("no room");
        EXPECT_TRUE(live.insert(this).second);
    }
};
std::set<const Tracked*> Tracked::live;
int Tracked::made = 0;
int Tracked::failAt = 0;

TEST(Apvector, NewElementsAreEmptyStringsAndZeros) {
    {
        apvector<int> used(16);
        for (int k = 0; k < 16; ++k) used[k] = -1;
    }
    apvector<int> numbers(16);
    apvector<apstring> names(16);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(numbers[k], 0);
        EXPECT_EQ(names[k].length(), 0);
        EXPECT_EQ(names[k].capacity(), 1);
    }
    EXPECT_EQ(apvector<int>().length(), 0);
}

TEST(Apvector, ElementsAreChangedInPlaceThroughTheReference) {
    apvector<apstring> names(16);
    names[3] = "Smith";
    names[15] += 'z';
    EXPECT_STREQ(names[3].c_str(), "Smith");
    EXPECT_STREQ(std::as_const(names)[15].c_str(), "z");
    EXPECT_STREQ(names[4].c_str(), "");
}

TEST(ApvectorDeathTest, ABadIndexEndsTheProgramWithStatus1) {
    const std::pair<int, int> cases[] = {{16, 16}, {16, -1}, {0, 0}, {1, 1}};
    for (const auto& [size, k] : cases) {
        apvector<int> v(size);
        const std::string message = "^Illegal vector index: " + std::to_string(k) +
                                    " max index = " + std::to_string(size - 1) + "\n$";
        EXPECT_EXIT(v[k] = 1, testing::ExitedWithCode(1), message);
        EXPECT_EXIT((void)std::as_const(v)[k], testing::ExitedWithCode(1), message);
    }
}

TEST(Apvector, CopiesAreDeepAndSelfAssignmentIsHarmless) {
    apvector<apstring> a(2, apstring("fill"));
    a[0] = "Adams";
    apvector<apstring> copied(a);
    apvector<apstring> assigned(5);
    assigned = a;
    a[0] = "Zeta";
    for (const apvector<apstring>* v : {&copied, &assigned}) {
        ASSERT_EQ(v->length(), 2);
        EXPECT_STREQ((*v)[0].c_str(), "Adams");
        EXPECT_STREQ((*v)[1].c_str(), "fill");
    }
    const apvector<apstring>& same = assigned;  // through a reference, as clang warns of a plain a = a
    assigned = same;
    EXPECT_STREQ(assigned[0].c_str(), "Adams");
}

TEST(Apvector, ResizeKeepsTheElementsThatFit) {
    apvector<int> v(3);
    for (int k = 0; k < 3; ++k) v[k] = k + 10;
    v.resize(5);
    const int grown[] = {10, 11, 12, 0, 0};
    ASSERT_EQ(v.length(), 5);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(v[k], grown[k]);
    v.resize(1);
    ASSERT_EQ(v.length(), 1);
    EXPECT_EQ(v[0], 10);
    v.resize(0);
    EXPECT_EQ(v.length(), 0);
}

TEST(Apvector, EveryElementMadeIsDestroyedExactlyOnce) {
    {
        apvector<Tracked> a(5);
        for (int k = 0; k < 5; ++k) a[k].value = k;
        apvector<Tracked> b(a);
        a = b;
        const apvector<Tracked>& same = a;
        a = same;
        b.resize(8);
        b.resize(2);
        apvector<Tracked> c;
        c = b;
        c.resize(0);
        apvector<Tracked> d(3, a[4]);
        EXPECT_EQ(b[1].value, 1);
        EXPECT_EQ(d[2].value, 4);
    }
    EXPECT_TRUE(Tracked::live.empty());
}

TEST(Apvector, AnElementThatFailsToConstructLeavesNothingBehind) {
    Tracked::failAt = Tracked::made + 4;
    EXPECT_THROW(apvector<Tracked>(10), std::runtime_error);
    EXPECT_TRUE(Tracked::live.empty());
    {
        apvector<Tracked> target(2), source(6);
        target[1].value = 7;
        Tracked::failAt = Tracked::made + 3;
        EXPECT_THROW(target = source, std::runtime_error);
        ASSERT_EQ(target.length(), 2);
        EXPECT_EQ(target[1].value, 7);
    }
    EXPECT_TRUE(Tracked::live.empty());
    Tracked::failAt = 0;
}

}  // namespace
