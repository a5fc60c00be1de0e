#include "episode/episodetags.h"

#include "engine/client/speecherror.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>

#include <attachedpictureframe.h>
#include <chapterframe.h>
#include <flacfile.h>
#include <flacpicture.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tableofcontentsframe.h>
#include <textidentificationframe.h>
#include <tfilestream.h>
#include <vorbisfile.h>
#include <xiphcomment.h>

#include <unistd.h>

namespace {

const TagLib::String Genre("Podcast");

TagLib::String tagText(const QString &text)
{
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

struct Cover
{
    TagLib::ByteVector data;
    TagLib::String mimeType;
};

Cover coverOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SpeechError(QStringLiteral("The cover image \"%1\" could not be read: %2")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    return {TagLib::ByteVector(bytes.constData(), unsigned(bytes.size())),
            tagText(QMimeDatabase().mimeTypeForFileNameAndData(path, bytes).name())};
}

// "HH:MM:SS.mmm", as the CHAPTERnnn comments give times.
TagLib::String chapterTime(qint64 ms)
{
    return tagText(QStringLiteral("%1:%2:%3.%4")
                       .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                       .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                       .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                       .arg(ms % 1000, 3, 10, QLatin1Char('0')));
}

void tagMp3(TagLib::IOStream &stream, const EpisodeTags &tags)
{
    // Plain text frames in UTF-8 (ID3v2.4 allows it), not Latin-1.
    TagLib::ID3v2::FrameFactory::instance()->setDefaultTextEncoding(TagLib::String::UTF8);
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        throw SpeechError(QStringLiteral("The MP3 file could not be read back to tag it."));
    TagLib::ID3v2::Tag *tag = file.ID3v2Tag(true);
    tag->setTitle(tagText(tags.title));
    tag->setArtist(tagText(tags.artist));
    tag->setAlbum(tagText(tags.album));
    tag->setYear(unsigned(tags.year));
    tag->setGenre(Genre);
    if (!tags.coverImagePath.isEmpty()) {
        const Cover cover = coverOf(tags.coverImagePath);
        auto *picture = new TagLib::ID3v2::AttachedPictureFrame; // the tag owns its frames
        picture->setTextEncoding(TagLib::String::UTF8);
        picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        picture->setMimeType(cover.mimeType);
        picture->setPicture(cover.data);
        tag->addFrame(picture);
    }
    if (!tags.chapters.isEmpty()) {
        TagLib::ByteVectorList children;
        for (qsizetype i = 0; i < tags.chapters.size(); ++i) {
            const TimedChapter &chapter = tags.chapters.at(i);
            const TagLib::ByteVector id =
                TagLib::ByteVector("chp") + TagLib::String::number(int(i)).data(TagLib::String::Latin1);
            auto *title = new TagLib::ID3v2::TextIdentificationFrame("TIT2", TagLib::String::UTF8);
            title->setText(tagText(chapter.title));
            // No byte offsets: players go by the times.
            TagLib::ID3v2::FrameList embedded;
            embedded.append(title);
            tag->addFrame(new TagLib::ID3v2::ChapterFrame(
                id, unsigned(chapter.startMs), unsigned(chapter.endMs), 0xFFFFFFFF, 0xFFFFFFFF, embedded));
            children.append(id);
        }
        auto *contents = new TagLib::ID3v2::TableOfContentsFrame("toc", children);
        contents->setIsTopLevel(true);
        contents->setIsOrdered(true);
        tag->addFrame(contents);
    }
    if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4))
        throw SpeechError(QStringLiteral("The tags could not be written into the MP3 file."));
}

void fillComment(TagLib::Ogg::XiphComment &comment, const EpisodeTags &tags)
{
    comment.setTitle(tagText(tags.title));
    comment.setArtist(tagText(tags.artist));
    comment.setAlbum(tagText(tags.album));
    comment.setYear(unsigned(tags.year));
    comment.setGenre(Genre);
    for (qsizetype i = 0; i < tags.chapters.size(); ++i) {
        const TagLib::String key = tagText(QStringLiteral("CHAPTER%1").arg(i + 1, 3, 10, QLatin1Char('0')));
        comment.addField(key, chapterTime(tags.chapters.at(i).startMs));
        comment.addField(key + "NAME", tagText(tags.chapters.at(i).title));
    }
}

TagLib::FLAC::Picture *pictureOf(const QString &path)
{
    const Cover cover = coverOf(path);
    auto *picture = new TagLib::FLAC::Picture;
    picture->setType(TagLib::FLAC::Picture::FrontCover);
    picture->setMimeType(cover.mimeType);
    picture->setData(cover.data);
    return picture;
}

void tagOggVorbis(TagLib::IOStream &stream, const EpisodeTags &tags)
{
    TagLib::Ogg::Vorbis::File file(&stream, false);
    if (!file.isValid() || !file.tag())
        throw SpeechError(QStringLiteral("The Ogg file could not be read back to tag it."));
    fillComment(*file.tag(), tags);
    if (!tags.coverImagePath.isEmpty())
        file.tag()->addPicture(pictureOf(tags.coverImagePath));
    if (!file.save())
        throw SpeechError(QStringLiteral("The tags could not be written into the Ogg file."));
}

void tagFlac(TagLib::IOStream &stream, const EpisodeTags &tags)
{
    TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid())
        throw SpeechError(QStringLiteral("The FLAC file could not be read back to tag it."));
    fillComment(*file.xiphComment(true), tags);
    if (!tags.coverImagePath.isEmpty())
        file.addPicture(pictureOf(tags.coverImagePath));
    if (!file.save())
        throw SpeechError(QStringLiteral("The tags could not be written into the FLAC file."));
}

} // namespace

void writeEpisodeTags(int fileDescriptor, SoundFileFormat format, const EpisodeTags &tags)
{
    if (format == SoundFileFormat::Wav)
        return;
    // TagLib closes the descriptor it is given; the file's own stays open for the commit.
    const int own = ::dup(fileDescriptor);
    if (own < 0)
        throw SpeechError(QStringLiteral("The sound file could not be reopened to tag it."));
    TagLib::FileStream stream(own);
    if (!stream.isOpen() || stream.readOnly())
        throw SpeechError(QStringLiteral("The sound file could not be reopened to tag it."));
    switch (format) {
    case SoundFileFormat::Mp3:
        tagMp3(stream, tags);
        break;
    case SoundFileFormat::OggVorbis:
        tagOggVorbis(stream, tags);
        break;
    case SoundFileFormat::Flac:
        tagFlac(stream, tags);
        break;
    case SoundFileFormat::Wav:
        break;
    }
}
