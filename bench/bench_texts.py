"""The English text of the page and screen benchmarks: paragraphs written for them, sentences
made from word lists kept here, lines of code, file names and versions, every printable ASCII
sign, and words with the letter pairs that typesetters join (fi, fl, ff, ffi, ffl).

Everything is drawn with a seeded random.Random, so the same seed gives the same documents.
"""
import os

PARAGRAPHS = [
    "The harbour at Kelsby was built for fishing boats, not for ferries, and it shows. Every "
    "morning at six the first boat from the islands noses in sideways, the crew throw two ropes "
    "to a man in a yellow coat, and forty passengers climb a ladder that was meant for crates "
    "of herring. Nobody complains. The town council has promised a new pier for twelve years; "
    "the drawings hang in the post office, slowly fading in the window.",
    "Bread needs three things: flour, water and time. Most failures come from hurrying the "
    "last of them. A dough that has risen for four hours in a cool kitchen tastes of wheat and "
    "a little of cream; the same dough forced in ninety minutes beside the oven tastes of "
    "nothing much. Weigh the water rather than measuring it, keep back a cup of it until the "
    "flour has drunk the rest, and do not add salt until the dough has rested.",
    "When the chain of a bicycle slips under load, the cause is rarely the chain alone. A worn "
    "chain stretches, the teeth of the rear sprockets wear to hooks that match it, and a new "
    "chain then skips on the old sprockets. Measure the chain with a ruler: twenty-four links "
    "should span exactly twelve inches. If they span more than twelve and an eighth, replace "
    "the chain and the cassette together, and clean the derailleur pulleys while you are there.",
    "The reading room opened in 1887 with four hundred books, most of them sermons and almanacs "
    "given by the families of the parish. By 1910 it held six thousand volumes, a set of maps "
    "of the county drawn by the surveyors of the railway, and the only telephone in the street. "
    "Its librarian, Margaret Orr, kept a ledger of every loan; the ledgers survive, and they "
    "show that the most borrowed book of 1912 was a manual of bee keeping.",
    "Weather on the western ridge changes faster than the forecasts admit. A clear sky at noon "
    "can turn to sleet within the hour, and the path along the crest offers no shelter between "
    "the cairn and the old quarry. Walkers should carry a warm layer, a map in a waterproof "
    "case and a torch, even in July. The mountain rescue team answered nineteen calls last "
    "summer; in fourteen of them the walkers had set out without a jacket.",
    "Trains to Ashford leave from platform two at seven minutes past each hour, and from "
    "platform four at half past on weekdays only. The journey takes fifty-one minutes with "
    "stops at Mill Lane, Carden and Upper Hatch. On Sundays the service runs every two hours "
    "and the first train leaves at 08:07. Tickets bought on the train cost more than those "
    "bought at the station, except before 06:30, when the ticket office is closed.",
    "Tomatoes want sun, steady water and a stake they can lean on. Plant them deeper than they "
    "grew in the pot, since the buried stem grows roots, and pinch out the side shoots that "
    "appear where the leaves meet the stem. Water at the base in the morning, never over the "
    "leaves in the evening, and feed them weekly once the first fruit has set. A plant that "
    "is watered unevenly splits its fruit after the first heavy rain.",
    "Dear Mr Whitfield, thank you for your letter of the ninth. The committee met on Tuesday "
    "and agreed to your proposal in principle, with two changes: the survey should cover the "
    "whole of the east meadow, not only the part beside the river, and the report should be "
    "ready by the end of October rather than November. We can offer the use of the hall for "
    "your presentation on any Thursday evening. Yours sincerely, Helen Marsh, secretary.",
    "A clock that gains two minutes a week is not broken; it is telling you something about "
    "its spring, its oil and the room it stands in. Cold thickens old oil and slows the "
    "balance, warmth thins it and speeds it up. Before you move the regulator, keep a record "
    "for a fortnight, noting the temperature of the room each morning. Most clocks settle "
    "within a month of being moved, and some never forgive it.",
    "The survey counted three hundred and twelve nesting pairs of terns on the shingle spit, "
    "up from two hundred and forty the year before. Volunteers fenced the nesting area in "
    "April, moved the footpath twenty yards inland, and watched the colony in shifts through "
    "May and June. Foxes took eggs from nine nests on a single night, after a gap in the fence "
    "was found near the boathouse; it was mended by morning.",
    "Painting a window frame takes longer than painting the wall around it, and most of the "
    "time goes into preparation. Scrape away loose paint, fill the cracks, sand the filler "
    "smooth when it is dry, and wipe off the dust with a damp cloth. Mask the glass or paint "
    "a thin line onto it, which seals the putty. Two thin coats last longer than one thick "
    "coat, and the second should go on only when the first no longer feels tacky.",
    "Our office moves to the second floor of the Corn Exchange on the fourteenth of March. The "
    "telephone numbers stay the same, but the post should be addressed to Room 214 from that "
    "date. Parking behind the building is limited to eight spaces, which are kept for visitors "
    "and for staff with a blue badge. The nearest bus stop is on Queen Street, about three "
    "minutes away on foot, and the number 6 bus stops there every quarter of an hour.",
]

SUBJECTS = ["the engineer", "a careful reader", "the committee", "our neighbour", "the old ferry",
            "every visitor", "the night porter", "a small dog", "the new manager", "my brother",
            "the village choir", "a tired traveller", "the council", "the gardener", "her aunt",
            "the printer", "a young pilot", "the museum guide", "the baker", "the last bus"]
VERBS = ["found", "repaired", "painted", "counted", "described", "carried", "forgot", "measured",
         "opened", "visited", "borrowed", "cleaned", "planned", "followed", "answered", "sold",
         "wrapped", "checked", "moved", "remembered"]
OBJECTS = ["the broken gate", "a box of letters", "the harbour wall", "twelve blue chairs",
           "the map of the valley", "an empty bottle", "the garden shed", "a pair of boots",
           "the station clock", "seven old coins", "the kitchen table", "a heavy parcel",
           "the front door", "the winter coats", "a basket of apples", "the narrow bridge",
           "three wooden boxes", "the church bells", "a roll of paper", "the spare key"]
ENDINGS = ["before the rain began", "on a quiet Sunday", "without asking anyone", "in the late "
           "afternoon", "while the kettle boiled", "for the second time", "after a long delay",
           "with great care", "near the river", "at the end of the week", "before breakfast",
           "despite the cold", "in less than an hour", "as the light faded", "by the back door"]


def sentence(rng):
    s = "%s %s %s %s." % (rng.choice(SUBJECTS), rng.choice(VERBS), rng.choice(OBJECTS),
                          rng.choice(ENDINGS))
    return s[0].upper() + s[1:]


def paragraphs(rng, count):
    """count paragraphs: the written ones in a seeded order, then made ones."""
    chosen = rng.sample(PARAGRAPHS, min(count, len(PARAGRAPHS)))
    while len(chosen) < count:
        chosen.append(" ".join(sentence(rng) for _ in range(rng.randint(4, 6))))
    return chosen


CODE = [
    "int main(int argc, char **argv) { return argc > 1 ? 0 : 1; }",
    "for (size_t i = 0; i < rows.size(); ++i) total += rows[i].width;",
    "if [ -f ~/.config/kelsby/tool.conf ]; then echo 'found' | tee -a run.log; fi",
    "cp -a /srv/data/archive-2024.tar.gz /mnt/backup/",
    "tar -xzf release-2.14.1.tar.gz && cd release-2.14.1 && make -j2",
    "grep -n \"timeout\" src/net/socket_pool.cpp | head -20",
    "version 1:3.6.0-7.1 (14.3 kB), built 2023-11-07",
    "libkelsby-dev_0.9.12~rc2-1_amd64.deb    2.1 MB",
    "export PATH=$HOME/bin:$PATH; alias ll='ls -l'",
    "x = {\"name\": \"ferry\", \"stops\": [2, 4, 7], \"late\": false}",
    "SELECT id, name FROM stations WHERE zone <= 3 ORDER BY name;",
    "/etc/kelsby/conf.d/10-harbour.conf: line 42: unknown key 'pier'",
    "#define MAX_ROWS 512  /* rows kept in memory */",
    "ssh -p 2222 ops@10.0.3.17 'df -h /var | tail -1'",
    "result = weights @ values + bias  # shape (3, 8)",
    "https://example.org/docs/v2/index.html#install",
]

SIGNS = "! \" # $ % & ' ( ) * + , - . / : ; < = > ? @ [ \\ ] ^ _ ` { | } ~"
SIGN_LINES = [
    SIGNS,
    "a[i] = b{j} | c; d ~ e ^ f; 'g' \"h\" `k` \\n",
    "(3 + 4) * 5 = 35; 100% of $20 & #7 @ 9:30!",
    "<tag attr='x'>; path/to/file_name.txt? yes: no.",
    "~/notes [draft] {v2} | x^2 + y_1 - z \\ w",
]

LIGATURE_WORDS = ["office", "affluent", "difficult", "shuffle", "waffle", "fifty", "flight",
                  "field", "fluent", "official", "efficient", "baffled", "sufficient", "final",
                  "flower", "staff", "cliff", "traffic", "effort", "offer", "fifth", "raffle",
                  "flour", "finish", "scaffold", "coffee", "affirm", "profile", "reflect",
                  "suffix", "fluffy", "offline", "ruffle", "sniffle",
                  "waffling", "stiffly", "trifle", "fiction", "inflate", "affix"]


_DICTIONARY = []


def dictionary_ligature_words():
    """Lower-case words with fi, fl or ff from wamerican's list, if it is installed."""
    path = "/usr/share/dict/american-english"
    if not _DICTIONARY and os.path.exists(path):
        with open(path, encoding="latin-1") as f:
            _DICTIONARY.extend(w for w in (line.strip() for line in f)
                               if w.isascii() and w.isalpha() and w.islower() and
                               any(p in w for p in ("fi", "fl", "ff")))
    return _DICTIONARY


def ligature_words(rng, count):
    """Words with fi, fl, ff, ffi or ffl: the list above and words from wamerican."""
    extra = dictionary_ligature_words()
    words = LIGATURE_WORDS + rng.sample(extra, min(len(extra), 4 * count))
    return [rng.choice(words) for _ in range(count)]


def ligature_sentences(rng, count):
    out = []
    for _ in range(count):
        w = ligature_words(rng, 5)
        out.append("The %s and %s %s were %s, %s." % tuple(w))
    return out
