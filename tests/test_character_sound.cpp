// The character sound player: which recording a typed character finds in the
// letters folder, and what PlayWav answers. It sees only the sound and the
// media library.

#include "feedback/character_sound_player.h"
#include "library/media_library.h"
#include "support/fake_platform.h"
#include "support/media_folder.h"

#include <QtTest>

using namespace quillo;

namespace {

// Nothing in the media folder until the test puts it there.
struct Rig {
    test::MediaFolder media;
    test::RecordingSound sound;
    MediaLibrary library{media.path(), QString()};
    // Plays one character and returns PlayWav's answer; `heard` gets what played.
    qint32 play(const QString& character, QStringList* heard)
    {
        sound.played.clear();
        library.lookAgain();  // as at each key
        const qint32 result = PlayWav(sound, library, character);
        *heard = sound.played;
        return result;
    }
};

}  // namespace

class CharacterSoundTest : public QObject {
    Q_OBJECT
private slots:
    void ownRecordingIsFoundWithoutRegardToCase();
    void charactersWithoutRecordingGetTheFallback();
    void wildcardCharactersMatchRecordings();
    void failingDeviceGivesZero();
    void withoutFallbackTheDefaultSoundIsHeard();
    void forbiddenCharactersNeverFindAFile();
    void recordingsAddedOrRemovedWhileRunningCount();
    void exactCaseWinsWhenBothSpellingsExist();
};

void CharacterSoundTest::ownRecordingIsFoundWithoutRegardToCase()
{
    Rig rig;
    for (const char* name : {"a.wav", "boh.wav", "à.wav", "è.wav"})
        rig.media.addLetter(QString::fromUtf8(name));
    QStringList heard;

    QCOMPARE(rig.play(QStringLiteral("a"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("a.wav")});
    QCOMPARE(rig.play(QStringLiteral("A"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("a.wav")});
    QCOMPARE(rig.play(QStringLiteral("À"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("à.wav")});
    QCOMPARE(rig.play(QStringLiteral("È"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("è.wav")});
    // An accented letter is not its plain letter, nor the other way round.
    QCOMPARE(rig.play(QStringLiteral("é"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
}

void CharacterSoundTest::charactersWithoutRecordingGetTheFallback()
{
    Rig rig;
    rig.media.addBasics();
    QStringList heard;
    for (const char* typed : {"#", "\b", "\r", "\x1b", " ", "b"}) {
        QCOMPARE(rig.play(QString::fromLatin1(typed), &heard), 0);
        QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
    }
    // The fallback itself is found without regard to case.
    rig.media.remove(QStringLiteral("alfabeto/boh.wav"));
    rig.media.addLetter(QStringLiteral("BOH.wav"));
    QCOMPARE(rig.play(QStringLiteral("#"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("BOH.wav")});
}

void CharacterSoundTest::wildcardCharactersMatchRecordings()
{
    Rig rig;
    // Sorted as a reader would (case ignored): b.wav, boh.wav, C.wav, xy.wav.
    for (const char* name : {"xy.wav", "C.wav", "boh.wav", "b.wav"})
        rig.media.addLetter(QString::fromLatin1(name));
    QStringList heard;

    QCOMPARE(rig.play(QStringLiteral("*"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("b.wav")});
    // '?' stands for one character: C.wav, the first one-character name.
    rig.media.remove(QStringLiteral("alfabeto/b.wav"));
    QCOMPARE(rig.play(QStringLiteral("?"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("C.wav")});
    rig.media.remove(QStringLiteral("alfabeto/C.wav"));
    QCOMPARE(rig.play(QStringLiteral("?"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
}

void CharacterSoundTest::failingDeviceGivesZero()
{
    Rig rig;
    rig.media.addBasics();
    rig.sound.deviceWorks = false;
    QStringList heard;
    QCOMPARE(rig.play(QStringLiteral("a"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("a.wav")});
    // An empty recording cannot play either.
    rig.sound.deviceWorks = true;
    rig.media.addFile(QStringLiteral("alfabeto/e.wav"), QByteArray());
    QCOMPARE(rig.play(QStringLiteral("e"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("<default>")});
}

void CharacterSoundTest::withoutFallbackTheDefaultSoundIsHeard()
{
    Rig rig;
    rig.media.addLetter(QStringLiteral("a.wav"));
    QStringList heard;
    QCOMPARE(rig.play(QStringLiteral("#"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("<default>")});
    QCOMPARE(rig.play(QStringLiteral("a"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("a.wav")});
}

void CharacterSoundTest::forbiddenCharactersNeverFindAFile()
{
    Rig rig;
    rig.media.addBasics();
    // Linux accepts all of these in a name; the program must still not use them.
    for (const char* bad : {"\\", ":", "\"", "<", ">", "|", "\t", "\x01", "\x7f"})
        rig.media.addLetter(QString::fromLatin1(bad) + QStringLiteral(".wav"));
    QStringList heard;
    for (const char* bad : {"/", "\\", ":", "\"", "<", ">", "|", "\t", "\x01", "\x7f", "\n"}) {
        QCOMPARE(rig.play(QString::fromLatin1(bad), &heard), 0);
        QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
    }
}

void CharacterSoundTest::recordingsAddedOrRemovedWhileRunningCount()
{
    Rig rig;
    rig.media.addBasics();
    QStringList heard;
    QCOMPARE(rig.play(QStringLiteral("b"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
    rig.media.addLetter(QStringLiteral("b.wav"));
    QCOMPARE(rig.play(QStringLiteral("b"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("b.wav")});
    rig.media.remove(QStringLiteral("alfabeto/b.wav"));
    QCOMPARE(rig.play(QStringLiteral("b"), &heard), 0);
    QCOMPARE(heard, QStringList{QStringLiteral("boh.wav")});
}

void CharacterSoundTest::exactCaseWinsWhenBothSpellingsExist()
{
    Rig rig;
    for (const char* name : {"A.wav", "a.wav", "boh.wav"})
        rig.media.addLetter(QString::fromLatin1(name));
    QStringList heard;
    QCOMPARE(rig.play(QStringLiteral("a"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("a.wav")});
    QCOMPARE(rig.play(QStringLiteral("A"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("A.wav")});
    // With only the capital spelling, the small letter finds it.
    rig.media.remove(QStringLiteral("alfabeto/a.wav"));
    QCOMPARE(rig.play(QStringLiteral("a"), &heard), 1);
    QCOMPARE(heard, QStringList{QStringLiteral("A.wav")});
}

QTEST_GUILESS_MAIN(CharacterSoundTest)
#include "test_character_sound.moc"
