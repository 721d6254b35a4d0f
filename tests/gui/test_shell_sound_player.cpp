// The sound player: one open sound at a time, silent failures, the state
// query after close.
#include "tests/support/fake_sound_backend.h"
#include "media/sound_player.h"

#include <gtest/gtest.h>

using namespace zx;

namespace {

struct Player {
    FakeSoundBackend* fake;
    SoundPlayer player;

    explicit Player(bool showErrors = false)
        : fake(new FakeSoundBackend)
        , player(std::unique_ptr<SoundBackend>(fake), showErrors)
    {
    }
};

} // namespace

TEST(ShellSoundPlayer, ANewSoundClosesThePreviousOne)
{
    Player p;
    p.player.open(QStringLiteral("/s/a.wav"));
    p.player.play();
    EXPECT_TRUE(p.player.isPlaying());
    p.player.open(QStringLiteral("/s/b.wav"));
    p.player.play();
    EXPECT_EQ(p.fake->playingPath(), QStringLiteral("/s/b.wav"));
    EXPECT_EQ(p.fake->mostOpenAtOnce(), 1);
    EXPECT_EQ(p.fake->calls(), (QStringList{"open /s/a.wav", "seek", "play", "close", "open /s/b.wav", "seek", "play"}));
    EXPECT_EQ(p.player.deviceId(), 2u);
    EXPECT_TRUE(p.fake->lastAlias().startsWith(QStringLiteral("alias")));
    EXPECT_LT(p.fake->lastAlias().mid(5).toLongLong(), 10000000);
}

TEST(ShellSoundPlayer, PlayRestartsFromTheStart)
{
    Player p;
    p.player.open(QStringLiteral("/s/a.wav"));
    p.player.play();
    p.fake->clearCalls();
    p.player.play();
    EXPECT_EQ(p.fake->calls(), (QStringList{"stop", "seek", "play"}));
    // A sound that ended is not stopped again.
    p.fake->finish();
    p.fake->clearCalls();
    p.player.play();
    EXPECT_EQ(p.fake->calls(), (QStringList{"seek", "play"}));
}

TEST(ShellSoundPlayer, FailedOpenLeavesNothingToPlay)
{
    Player p;
    p.player.open(QStringLiteral("/s/a.wav"));
    p.fake->failOpenOf(QStringLiteral("/s/broken.wav"));
    p.player.open(QStringLiteral("/s/broken.wav"));
    EXPECT_FALSE(p.player.hasOpenSound());
    p.fake->clearCalls();
    p.player.play();
    p.player.stop();
    EXPECT_TRUE(p.fake->calls().isEmpty());
    EXPECT_TRUE(p.fake->playingPath().isEmpty());
}

TEST(ShellSoundPlayer, StateQueryFailsAfterClose)
{
    Player p;
    EXPECT_EQ(p.player.mode(), SoundMode::None);
    p.player.open(QStringLiteral("/s/a.wav"));
    EXPECT_TRUE(p.player.query(SoundQuery::Open));
    EXPECT_TRUE(p.player.query(SoundQuery::Stopped));
    EXPECT_TRUE(p.player.query(SoundQuery::Playing)); // "playing" also holds when stopped
    EXPECT_FALSE(p.player.isPlaying());
    p.player.play();
    EXPECT_TRUE(p.player.isPlaying());
    EXPECT_FALSE(p.player.query(SoundQuery::Stopped));
    p.player.close();
    EXPECT_EQ(p.player.mode(), SoundMode::None);
    EXPECT_FALSE(p.player.query(SoundQuery::Open));
    EXPECT_FALSE(p.player.query(SoundQuery::Playing));
    EXPECT_EQ(p.player.deviceId(), 1u);
    p.player.open(QStringLiteral("/s/b.wav"));
    EXPECT_TRUE(p.player.query(SoundQuery::Open));
}

TEST(ShellSoundPlayer, ErrorsAreSilentUnlessAskedFor)
{
    QStringList shown;
    {
        Player quiet;
        quiet.player.setErrorSink([&](const QString& text) { shown << text; });
        quiet.fake->failOpenOf(QStringLiteral("/s/x.wav"));
        quiet.player.open(QStringLiteral("/s/x.wav"));
        EXPECT_TRUE(shown.isEmpty());
    }
    Player loud(true);
    loud.player.setErrorSink([&](const QString& text) { shown << text; });
    loud.fake->failOpenOf(QStringLiteral("/s/x.wav"));
    loud.player.open(QStringLiteral("/s/x.wav"));
    EXPECT_EQ(shown.size(), 1);
}

TEST(ShellSoundPlayer, DestructionStopsAndCloses)
{
    // A device that reports to a fake the test keeps.
    struct Forward : SoundBackend {
        FakeSoundBackend& to;
        explicit Forward(FakeSoundBackend& fake) : to(fake) {}
        bool open(const QString& p, const QString& a, QString& e) override { return to.open(p, a, e); }
        bool close(QString& e) override { return to.close(e); }
        bool play(QString& e) override { return to.play(e); }
        bool stop(QString& e) override { return to.stop(e); }
        bool seekToStart(QString& e) override { return to.seekToStart(e); }
        SoundMode mode() const override { return to.mode(); }
    };
    FakeSoundBackend fake;
    {
        SoundPlayer player(std::make_unique<Forward>(fake), false);
        player.open(QStringLiteral("/s/a.wav"));
        player.play();
        fake.clearCalls();
    }
    EXPECT_EQ(fake.calls(), (QStringList{"stop", "close"}));
    EXPECT_TRUE(fake.openPath().isEmpty());
}
