#include <nx/sdk/interface.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/ref_countable.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace nx::sdk
{
namespace
{

class ITestThing : public Interface<ITestThing>
{
public:
    static constexpr const char* interfaceId() { return "test::ITestThing"; }
    virtual int value() const = 0;
};

class ITestThing2 : public Interface<ITestThing2, ITestThing>
{
public:
    static constexpr const char* interfaceId() { return "test::ITestThing2"; }
};

// Counts live instances so that tests can assert exact lifetimes.
class Thing final : public RefCountable<ITestThing2>
{
public:
    explicit Thing(int value = 7) : m_value(value) { ++liveCount; }
    int value() const override { return m_value; }
    static inline std::atomic<int> liveCount{0};

private:
    ~Thing() override { --liveCount; }
    const int m_value;
};

class RefCountableTest : public ::testing::Test
{
protected:
    void TearDown() override { EXPECT_EQ(0, Thing::liveCount.load()); }
};

TEST_F(RefCountableTest, CountStartsAtOneAndLastReleaseDestroys)
{
    auto* thing = new Thing();
    EXPECT_EQ(1, thing->refCount());
    EXPECT_EQ(2, thing->addRef());
    EXPECT_EQ(1, thing->releaseRef());
    EXPECT_EQ(1, Thing::liveCount.load());
    EXPECT_EQ(0, thing->releaseRef());
    EXPECT_EQ(0, Thing::liveCount.load());
}

#if NX_SDK_EXPLICIT_MICROSOFT_LAYOUT

// Slot 0 is what a Microsoft-ABI host calls as the deleting destructor: bit 0 of the flags
// decides whether the memory is freed as well; the object's address comes back.
TEST_F(RefCountableTest, SlotZeroDestroysAndFreesOnlyWhenAsked)
{
    alignas(Thing) unsigned char storage[sizeof(Thing)];
    IRefCountable* const inPlace = new (storage) Thing();
    EXPECT_EQ(static_cast<void*>(storage), inPlace->deletingDestructor(/*flags*/ 0));
    EXPECT_EQ(0, Thing::liveCount.load());

    IRefCountable* const onHeap = new Thing();
    EXPECT_EQ(static_cast<void*>(onHeap), onHeap->deletingDestructor(/*flags*/ 1));
    EXPECT_EQ(0, Thing::liveCount.load());
}

#endif

TEST_F(RefCountableTest, QueryInterfaceWalksTheChainAndAddsOneReference)
{
    const Ptr<Thing> thing = makePtr<Thing>();
    for (const char* id : {"test::ITestThing2", "test::ITestThing", "nx::sdk::IRefCountable"})
    {
        IRefCountable* answer = thing->queryInterface(id);
        ASSERT_EQ(static_cast<IRefCountable*>(thing.get()), answer) << id;
        EXPECT_EQ(2, thing.refCount()) << id;
        answer->releaseRef();
    }
    EXPECT_EQ(nullptr, thing->queryInterface("test::ITestThing3"));
    EXPECT_EQ(nullptr, thing->queryInterface("test::ITestThing2 "));
    EXPECT_EQ(nullptr, thing->queryInterface(nullptr));
    EXPECT_EQ(1, thing.refCount());
}

TEST_F(RefCountableTest, TypedQueryAdoptsTheReference)
{
    const Ptr<Thing> thing = makePtr<Thing>(42);
    {
        const Ptr<ITestThing> asBase = queryInterfacePtr<ITestThing>(thing);
        ASSERT_TRUE(asBase);
        EXPECT_EQ(42, asBase->value());
        EXPECT_EQ(2, thing.refCount());
    }
    EXPECT_EQ(1, thing.refCount());
    EXPECT_FALSE(queryInterfacePtr<ITestThing>(static_cast<Thing*>(nullptr)));
}

TEST_F(RefCountableTest, PtrCopyMoveAndAdoptKeepExactCounts)
{
    Ptr<Thing> a = makePtr<Thing>();
    Ptr<Thing> b = a;
    EXPECT_EQ(2, a.refCount());
    Ptr<Thing> c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(2, a.refCount());
    Ptr<ITestThing> base = c;  //< Converting copy.
    EXPECT_EQ(3, a.refCount());
    base = nullptr;
    c.reset();
    EXPECT_EQ(1, a.refCount());

    Thing* raw = a.releasePtr();
    EXPECT_FALSE(a);
    EXPECT_EQ(1, raw->refCount());
    const Ptr<Thing> adopted = toPtr(raw);
    EXPECT_EQ(1, adopted.refCount());
    const Ptr<Thing> shared = shareToPtr(raw);
    EXPECT_EQ(2, adopted.refCount());
}

TEST_F(RefCountableTest, SelfAssignmentAndSelfMoveKeepTheObject)
{
    Ptr<Thing> a = makePtr<Thing>();
    Ptr<Thing>& alias = a;
    a = alias;
    EXPECT_EQ(1, a.refCount());
    a = std::move(alias);
    ASSERT_TRUE(a);
    EXPECT_EQ(1, a.refCount());
    EXPECT_EQ(1, Thing::liveCount.load());
}

TEST_F(RefCountableTest, AssignmentAddsBeforeReleasing)
{
    // `holder` owns the only reference to the object that `other` comes to point at: a
    // release-first assignment would destroy it before taking it.
    Ptr<Thing> holder = makePtr<Thing>(1);
    Ptr<Thing>* other = &holder;
    Ptr<Thing> copy = *other;
    holder = makePtr<Thing>(2);
    holder = copy;
    copy.reset();
    ASSERT_TRUE(holder);
    EXPECT_EQ(1, holder->value());
    EXPECT_EQ(1, holder.refCount());
}

TEST_F(RefCountableTest, ConcurrentAddAndReleaseDestroyExactlyOnce)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 10000;
    auto* thing = new Thing();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        thing->addRef();
        threads.emplace_back(
            [thing]()
            {
                for (int i = 0; i < kRounds; ++i)
                {
                    thing->addRef();
                    thing->releaseRef();
                }
                thing->releaseRef();
            });
    }
    thing->releaseRef();
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(0, Thing::liveCount.load());
}

}  // namespace
}  // namespace nx::sdk
