#pragma once
// The GUI test classes, one per subject.
#include <QObject>

namespace tessarin::test {

// The "--open PATH" mode of the test binary (CraftedOpen.cpp): exit code 0 when the level opened.
int openForCheck(const char* path);
// "--view PATH": the viewer window of "/view PATH" shows the level for a moment.
int viewForCheck(const char* path);

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlHasItsInitialCaptionAndFrame();
    void windowsFitAScaledScreen();
    void flagLabelsReadUnderLargeFontsAndDarkPalettes();
    void menusHaveTheirEntriesAndShortcuts();
    void commandLineIsJoinedAndSwitchesMatchByPrefix();
    void batchSwitchesRunWithoutTheWindow();
    void previewKeysSteerWhicheverControlHasFocus();
    void aboutWindowDisablesTheMainWindowUntilClosed();
    void quitWithUnsavedChangesAsksFirst();
};

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void everyStartRegistersTheVerbsBeforeTheCommandLine();
    void desktopFilesPassTheirValidatorAndAreWrittenOnce();
};

class OpenTest : public QObject {
    Q_OBJECT
private slots:
    void openingEachVersionSetsCaptionRoomsAndVersionControls();
    void cancelledOrFailedOpenKeepsTheLevel();
    void bigLevelIsReadOffTheUiThreadAndCancelKeepsTheLevel();
    void droppedFileIsOpened();
    void textureStripHoldsEveryPageAndScrollsByPixel();
    void savingIsRefusedWithTheReasonForUnwritableLevels();
};

class PanelsTest : public QObject {
    Q_OBJECT
private slots:
    void panelsMatchTheCommandLineDescription_data();
    void panelsMatchTheCommandLineDescription();
    void rightClickFollowsADoorToTheNextRoom();
    void ctrlOrAltClickAlsoCentresThePreview();
    void nextTriggerAndFindObjectWalkBetweenItemAndTrigger();
    void clicksBeforeALevelIsOpenAreIgnored();
    void wideRoomsScrollSoEverySectorCanBeSelected();
    void levelWithoutRoomsShowsAnEmptyMap();
    void zoomedMapSelectsHoversAndExportsWhatItShows();
    void staleTriggersInactiveControlsRecentFilesAndTheUnsavedMark();
    void levelBrowserFiltersSortsAndGoesToTheEntry();
    void browserAndSectorListOfTensOfThousandsOfItemsShowTheFirstTenThousand();
};

class EditTest : public QObject {
    Q_OBJECT
private slots:
    void retypedTurnedAndAddedItemsSurviveSaveAndReopen();
    void minecartEntriesLightTheButtonsAndAreSaved();
    void importedTR4LevelIsShownAndSavedBesideIt();
};

// Needs OpenGL (a real or virtual X server); skips when no context can be made.
class RenderTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void viewerDrawsTheSampleWithItsOverlayAndWalks();
    void previewShowsTheRoomMarksTheSectorAndOrbits();
    void viewerPicturesOfEveryVersion();
};

class DemoTest : public QObject {
    Q_OBJECT
private slots:
    void everyTableKeyHasItsScanCodeOnX11();
    void recordingFromTheMenuFillsTheDemoAndMarksTheLevelUnsaved();
    void startRecordingRefusesOtherVersionsAndAMissingKeyboard();
    void undoingAnImportWhileRecordingClosesTheDemoInItsLevel();
};

class ScreenshotTest : public QObject {
    Q_OBJECT
private slots:
    void windowWithALevelOpen();
};

}  // namespace tessarin::test
