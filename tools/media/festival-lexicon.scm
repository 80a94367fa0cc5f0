;; Words of tools/media/words.tsv that Festival's Italian letter-to-sound
;; rules say wrong in a way no respelling mends, written out in its phones
;; (one list per syllable, the stressed vowel marked 1). Loaded after the
;; voice by tools/make-media.sh and tools/check-stress.sh.

;; The rocket is /'raddzo/; the rules give every "zz" a /ts/.
(lex.add.entry '("razzo" nil (((r a1 dz) 1) ((dz o) 0))))

;; yo-yo, said "iojò": the rules make three syllables of "io".
(lex.add.entry '("iojò" nil (((j o) 0) ((j O1) 1))))
