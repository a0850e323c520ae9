# Chooses what joins a saved fuzz corpus, from a libFuzzer merge control file (-merge=1
# -use_counters=0 -merge_control_file=...): the first directory of the merge is the saved corpus,
# the rest are new inputs. New inputs are taken one at a time, the one reaching the most edges the
# corpus does not reach yet first (the smaller file when two reach as many), until none reaches
# a new edge or Limit inputs were taken. Prints the paths of the inputs taken.
NR == 1 { Files = $1; next }
NR == 2 { Saved = $1; next }
NR <= Files + 2 { Path[NR - 3] = $0; next }
$1 == "STARTED" { Size[$2] = $3; next }
$1 == "FT" {
  if ($2 < Saved) {
    for (F = 3; F <= NF; ++F) Covered[$F] = 1
  } else {
    Features[$2] = $0
  }
  next
}
END {
  for (Taken = 0; Taken < Limit; ++Taken) {
    Best = -1
    BestGain = 0
    for (File in Features) {
      N = split(Features[File], List, " ")
      Gain = 0
      for (F = 3; F <= N; ++F)
        if (!(List[F] in Covered)) ++Gain
      if (Gain == 0) {
        delete Features[File]
        continue
      }
      if (Gain > BestGain || (Gain == BestGain && Size[File] + 0 < Size[Best] + 0)) {
        Best = File
        BestGain = Gain
      }
    }
    if (Best < 0) break
    N = split(Features[Best], List, " ")
    for (F = 3; F <= N; ++F) Covered[List[F]] = 1
    delete Features[Best]
    print Path[Best]
  }
}
