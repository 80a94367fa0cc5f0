# Sourced by tools/make-media.sh: the voices of the media library and the
# shaping every recording gets, whoever says it.
#
#   speaker_raw FILE OUT      the recorded speaker's file (raw G.722, 16 kHz),
#                             decoded by ffmpeg
#   festival_raw TEXT OUT [key]
#                             TEXT said by Festival's Italian voice, from
#                             just before its voice; a word said too fast
#                             for its syllables is said again, slower
#   espeak_raw TEXT OUT       TEXT said by eSpeak NG's Italian voice
#   shape RAW DEST [key]      Quillo's format, trimmed, faded and levelled
#
# Needs $tmp (a scratch folder) and $meter (tools/loudness.cpp, built).

# The speaker's recordings: Carlo Flora's Italian prompts for Asterisk.
speaker_dir=/usr/share/asterisk/sounds/it_IT_m_Carlo

# How slowly Festival speaks (its Duration_Stretch; 1 is its usual pace):
# a quarter slower, for small children, as eSpeak NG's 140 words a minute
# against its usual 175 were.
festival_stretch=1.25
festival_voice=voice_pc_diphone
# Festival says a short word faster than a long one (isola, uva, sole at
# 120-130 ms a syllable against a median of 185): a word under the slowest
# pace below, in ms of voice per syllable, is said again with the stretch
# that brings it to the usual pace, at most the largest stretch.
festival_min_pace=170
festival_usual_pace=190
festival_max_stretch=2
# Words Festival's letter-to-sound rules say wrong in a way no respelling
# mends (the /ddz/ of razzo), written out in its phones; Latin-1, as
# Festival reads.
festival_lexicon=$tmp/festival-lexicon.scm
iconv -f UTF-8 -t ISO-8859-1 "$lists/festival-lexicon.scm" >"$festival_lexicon" ||
    die "tools/media/festival-lexicon.scm is not Latin-1 text"
# eSpeak NG, for what neither the speaker nor Festival can say: words per
# minute and pitch (0-99).
espeak_speed=140
espeak_pitch=60

# Every recording is brought to the loudness of Le parole di Quillo's
# recordings (EBU R128, LUFS), with its peaks at or below the ceiling (dBFS).
target_loudness=-16.2
peak_ceiling=-1

speaker_raw() {
    [[ -f $speaker_dir/$1.g722 ]] ||
        die "the speaker has no recording $1 ($speaker_dir; Debian package asterisk-core-sounds-it-g722)"
    ffmpeg -nostdin -loglevel error -y -f g722 -i "$speaker_dir/$1.g722" -c:a pcm_s16le "$2" ||
        die "ffmpeg cannot decode $speaker_dir/$1.g722"
}

# Festival reads Latin-1: in UTF-8 an accented letter stops its Italian
# letter-to-sound rules and nothing is said.
festival_raw() {
    iconv -f UTF-8 -t ISO-8859-1 <<<"$1" >"$tmp/text" || die "'$1' is not Latin-1 text"
    festival_say "$2" "$festival_stretch" "${3:-}"
    [[ ${3:-} != key ]] || return 0
    local syllables length stretch
    syllables=$(vowel_groups "$1")
    length=$(voice_length "$2")
    stretch=$(awk -v n="$syllables" -v ms="$length" -v s="$festival_stretch" -v min="$festival_min_pace" \
        -v usual="$festival_usual_pace" -v max="$festival_max_stretch" '
        BEGIN { if (ms <= 0 || ms >= n * min) exit; s *= usual * n / ms; printf "%.2f", s < max ? s : max }')
    [[ -z $stretch ]] || festival_say "$2" "$stretch" ""
}

# festival_say OUT STRETCH [key]: $tmp/text said at that stretch, from just
# before its voice.
festival_say() {
    rm -f "$1"
    text2wave -eval "($festival_voice)" -eval "$festival_lexicon" \
        -eval "(Parameter.set 'Duration_Stretch $2)" -o "$1" "$tmp/text" >"$tmp/festival.log" 2>&1
    [[ -s $1 ]] || { cat "$tmp/festival.log" >&2; die "Festival did not say '$(iconv -f ISO-8859-1 -t UTF-8 "$tmp/text")'"; }
    local start
    start=$(voice_start "$1" "${3:-}")
    sox "$1" "$tmp/from-voice.wav" trim "${start}s"
    mv "$tmp/from-voice.wav" "$1"
}

# vowel_groups TEXT: its syllables as Italian spelling shows them, one per
# run of vowels (a hiatus, as in "aereo", counts once: never too many).
vowel_groups() {
    local groups
    groups=$(sed 's/[aeiouàèéìòùü]\+/V/g' <<<"${1,,}" | tr -cd V)
    echo "${#groups}"
}

# voice_length FILE: ms from the first to the end of the last 10 ms frame
# within 30 dB of the loudest, as tools/check-recordings.sh measures a pace.
voice_length() {
    sox "$1" -t dat - | awk '
        /^;/ { if ($2 == "Sample" && $3 == "Rate") hop = int($4 / 100); next }
        { sum += $2 * $2; if (++n == hop) { e[k++] = sum / n; sum = n = 0 } }
        END {
            for (i = 0; i < k; i++) if (e[i] > loudest) loudest = e[i]
            for (first = 0; first < k && e[first] < loudest / 1000; first++) ;
            for (last = k - 1; last > first && e[last] < loudest / 1000; last--) ;
            print first < k ? (last - first + 1) * 10 : 0
        }'
}

# voice_start FILE: the sample at which Festival's recording is to start.
# Festival begins with a click (its first 20-30 ms, about -31 dBFS) and a
# few hundred ms of low noise, in places as loud as a soft consonant, so no
# level alone tells where the voice begins. Over 10 ms frames, past the
# click: the voice is heard from the first frame within 30 dB of the
# loudest (tools/check-recordings.sh measures so) that leads within 50 ms to
# one within 20 dB (a lone blip of noise at -40 dB does not); before it, a soft lead-in
# (an s, f or n) is kept while it stays within 45 dB of the loudest, for
# 60 ms at most (10 ms for a key), and 20 ms more go before that. A word
# thus starts at most 80 ms before its voice is heard, a key 30 ms, and a
# stop's closure is not drawn out.
voice_start() {
    local back=6
    [[ ${2:-} != key ]] || back=1
    sox "$1" -t dat - | awk -v back="$back" '
        /^;/ { if ($2 == "Sample" && $3 == "Rate") hop = int($4 / 100); next }
        { sum += $2 * $2; if (++n == hop) { e[k++] = sum / n; sum = n = 0 } }
        END {
            click = 5; lead = 2
            for (i = click; i < k; i++) if (e[i] > loudest) loudest = e[i]
            for (onset = click; onset < k; onset++) {
                if (e[onset] < loudest / 1000) continue
                for (i = onset; i < k && i <= onset + 5 && e[i] < loudest / 100; i++) ;
                if (i < k && i <= onset + 5) break
            }
            for (start = onset; start > click && start > onset - back && e[start - 1] >= loudest / 31622.8; start--) ;
            print (start - lead) * hop
        }'
}

espeak_raw() {
    printf '%s\n' "$1" | espeak-ng -v it -s "$espeak_speed" -p "$espeak_pitch" -w "$2" --stdin
}

# levels FILE: its loudness (LUFS), peak (dBFS), loudest momentary loudness
# (LUFS), onset (ms), longest pause (ms) and voice length (ms); see
# tools/loudness.cpp.
levels() { sox "$1" -t f32 - | "$meter" 22050; }

# level_of FILE [key]: the loudness it is levelled by, and its peak.
level_of() {
    local integrated peak momentary
    read -r integrated peak momentary _ < <(levels "$1")
    if [[ ${2:-} == key ]]; then echo "$momentary $peak"; else echo "$integrated $peak"; fi
}

# shape RAW DEST [key]: 22050 Hz mono 16-bit, the quiet lead-in trimmed and faded
# in over 5 ms, then the same backwards for the tail (30 ms fade-out) so the
# cuts do not click; then one gain to the target loudness: a word's
# integrated loudness (tools/loudness.cpp), a key's loudest momentary
# loudness, so that a 200 ms letter sounds as loud as a 1 s sign. Where that would
# lift the peaks over the ceiling (a sharp consonant, a plosive), a
# look-ahead limiter holds them under it, a few times over while the
# loudness is still short of the target. -D (no dither): the same input always gives the same bytes.
shape() {
    # Headroom before the rate change, whose ripple would clip a recording
    # that peaks at full scale; the level is set afterwards anyway.
    sox -D "$1" -r 22050 -c 1 -e floating-point -b 32 "$tmp/shaped.wav" \
        silence 1 0.02 0.5% fade q 0.005 \
        reverse silence 1 0.02 0.5% fade q 0.03 reverse gain -6
    local loudness peak gain
    read -r loudness peak < <(level_of "$tmp/shaped.wav" "${3:-}")
    [[ $loudness != -inf ]] || die "$2 would be silent"
    local limit pass
    limit=$(awk -v c="$peak_ceiling" 'BEGIN { printf "%.4f", 10 ^ ((c - 0.2) / 20) }')
    for pass in 1 2 3 4; do
        gain=$(awk -v l="$loudness" -v t="$target_loudness" 'BEGIN { printf "%.2f", t - l }')
        awk -v p="$peak" -v g="$gain" -v c="$peak_ceiling" 'BEGIN { exit !(p + g > c - 0.05) }' || break
        ffmpeg -nostdin -loglevel error -y -i "$tmp/shaped.wav" -f f32le \
            -af "volume=${gain}dB,alimiter=limit=$limit:attack=5:release=50:level=0:latency=1" "$tmp/limited.f32"
        sox -t f32 -r 22050 -c 1 "$tmp/limited.f32" "$tmp/shaped.wav"
        read -r loudness peak < <(level_of "$tmp/shaped.wav" "${3:-}")
    done
    # The peak a little under the ceiling: 16-bit rounding stays below it.
    gain=$(awk -v l="$loudness" -v t="$target_loudness" -v p="$peak" -v c="$peak_ceiling" \
        'BEGIN { g = t - l; if (g > c - 0.05 - p) g = c - 0.05 - p; printf "%.2f", g }')
    sox -D "$tmp/shaped.wav" -b 16 -e signed-integer "$tmp/out.wav" gain "$gain"
    mv "$tmp/out.wav" "$2"
}
