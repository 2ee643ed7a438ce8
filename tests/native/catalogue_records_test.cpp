// Album and track records, their list links and their ownership.
#include "catalogue/catalogue_records.h"

#include <gtest/gtest.h>

namespace {

TEST(CatalogueLists, EmptyListsHaveNoLastRecord) {
    CatalogueLists lists;
    EXPECT_EQ(lists.LastAlbum(), nullptr);
    EXPECT_EQ(lists.LastTrack(), nullptr);
}

TEST(CatalogueLists, FirstAppendBecomesHeadAndLast) {
    CatalogueLists lists;
    AlbumRecord* album = lists.AppendAlbum();
    TrackRecord* track = lists.AppendTrack();
    EXPECT_EQ(lists.FirstAlbum(), album);
    EXPECT_EQ(lists.LastAlbum(), album);
    EXPECT_EQ(lists.FirstTrack(), track);
    EXPECT_EQ(lists.LastTrack(), track);
    EXPECT_EQ(album->Previous(), nullptr);
    EXPECT_EQ(album->Next(), nullptr);
}

TEST(CatalogueLists, AppendedTracksKeepTheirOrderAndLinks) {
    CatalogueLists lists;
    TrackRecord* appended[3];
    for (auto*& track : appended) {
        track = lists.AppendTrack();
    }
    const TrackRecord* walked = lists.FirstTrack();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(walked, appended[i]);
        EXPECT_EQ(walked->Previous(), i == 0 ? nullptr : appended[i - 1]);
        walked = walked->Next();
    }
    EXPECT_EQ(walked, nullptr);
}

TEST(CatalogueLists, NewRecordsStartEmpty) {
    CatalogueLists lists;
    const AlbumRecord* album = lists.AppendAlbum();
    EXPECT_EQ(album->ManifestPath(), nullptr);
    EXPECT_EQ(album->AlbumTitle(), nullptr);
    EXPECT_EQ(album->Tracks(), nullptr);
    EXPECT_EQ(album->TrackCount(), 0);
    const TrackRecord* track = lists.AppendTrack();
    for (int i = 0; i < kTrackFieldCount; ++i) {
        EXPECT_EQ(track->Text(static_cast<TrackField>(i)), nullptr);
    }
    EXPECT_EQ(track->OwnerAlbum(), nullptr);
}

TEST(CatalogueLists, ClearEmptiesBothLists) {
    CatalogueLists lists;
    for (int i = 0; i < 4; ++i) {
        lists.AppendAlbum()->SetAlbumTitle("album");
        lists.AppendTrack()->SetText(TrackField::Title, "track");
    }
    lists.Clear();
    EXPECT_EQ(lists.FirstAlbum(), nullptr);
    EXPECT_EQ(lists.FirstTrack(), nullptr);
}

TEST(TrackRecord, SettersCopyKeepNoneApartFromEmptyAndReplace) {
    TrackRecord track(nullptr);
    char text[] = "first";
    track.SetText(TrackField::Title, text);
    text[0] = 'X';  // the record holds its own copy
    EXPECT_STREQ(track.Title(), "first");

    track.SetText(TrackField::Title, "second");
    EXPECT_STREQ(track.Title(), "second");

    track.SetText(TrackField::Title, nullptr);
    EXPECT_EQ(track.Title(), nullptr);

    track.SetText(TrackField::Title, "");
    ASSERT_NE(track.Title(), nullptr);
    EXPECT_STREQ(track.Title(), "");
}

TEST(AlbumRecord, RemoveTrackKeepsTheOthersInOrder) {
    CatalogueLists lists;
    AlbumRecord* album = lists.AppendAlbum();
    TrackRecord* tracks[3];
    for (auto*& track : tracks) {
        track = lists.AppendTrack();
        album->AttachTrack(track);
    }
    album->RemoveTrack(tracks[1]);
    ASSERT_EQ(album->TrackCount(), 2);
    EXPECT_EQ(album->Tracks()[0], tracks[0]);
    EXPECT_EQ(album->Tracks()[1], tracks[2]);
    EXPECT_EQ(tracks[1]->OwnerAlbum(), nullptr);
}

TEST(AlbumRecord, RemovingTheOnlyTrackLeavesNoArray) {
    CatalogueLists lists;
    AlbumRecord* album = lists.AppendAlbum();
    TrackRecord* track = lists.AppendTrack();
    album->AttachTrack(track);
    album->RemoveTrack(track);
    EXPECT_EQ(album->Tracks(), nullptr);
    EXPECT_EQ(album->TrackCount(), 0);
}

TEST(AlbumRecord, RemovingATrackItDoesNotHoldChangesNothing) {
    CatalogueLists lists;
    AlbumRecord* album = lists.AppendAlbum();
    TrackRecord* held = lists.AppendTrack();
    TrackRecord* stranger = lists.AppendTrack();
    album->AttachTrack(held);
    album->RemoveTrack(stranger);
    album->RemoveTrack(nullptr);
    ASSERT_EQ(album->TrackCount(), 1);
    EXPECT_EQ(album->Tracks()[0], held);
}

TEST(AlbumRecord, TracksOutliveTheirAlbumSafely) {
    // Clearing destroys albums before tracks: a track must not reach back
    // into its destroyed album.
    CatalogueLists lists;
    AlbumRecord* album = lists.AppendAlbum();
    TrackRecord* track = lists.AppendTrack();
    album->AttachTrack(track);
    lists.Clear();
    SUCCEED();
}

TEST(AlbumRecord, DestroyingTheMiddleRecordRelinksItsNeighbours) {
    AlbumRecord first(nullptr);
    auto* middle = new AlbumRecord(&first);
    AlbumRecord last(middle);
    delete middle;
    EXPECT_EQ(first.Next(), &last);
    EXPECT_EQ(last.Previous(), &first);
}

TEST(DeviceCatalogue, StartsWithEmptyRootAndNoLists) {
    DeviceCatalogue catalogue;
    EXPECT_STREQ(catalogue.DriveRoot(), "");
    EXPECT_EQ(catalogue.Lists(), nullptr);
    EXPECT_EQ(catalogue.FirstTrack(), nullptr);
}

TEST(DeviceCatalogue, ReplacingListsReleasesTheOldRecords) {
    DeviceCatalogue catalogue;
    catalogue.ReplaceLists().AppendTrack()->SetText(TrackField::Title, "old");
    CatalogueLists& fresh = catalogue.ReplaceLists();
    EXPECT_EQ(fresh.FirstTrack(), nullptr);
    EXPECT_EQ(catalogue.FirstTrack(), nullptr);
    fresh.AppendTrack();
    EXPECT_NE(catalogue.FirstTrack(), nullptr);
}

TEST(DeviceCatalogue, DriveRootTakesAllFourCharacters) {
    DeviceCatalogue catalogue;
    catalogue.SetDriveRoot("E:/");
    EXPECT_STREQ(catalogue.DriveRoot(), "E:/");
}

}  // namespace
