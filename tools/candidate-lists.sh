# Sourced by the benchmark scripts: candidate lists as the window meets them in files.
# candidates COUNT FILE [WIDTH]: COUNT lines of names and numbers, UTF-8, CR LF after each
# (tidying drops the last); with WIDTH, each line padded to WIDTH bytes, its break included,
# with Chinese and ASCII text as a class list with remarks holds it.
candidates() {
  LC_ALL=C awk -v n="$1" -v width="${3:-0}" 'BEGIN {
    split("王伟 李秀英 欧阳丽娟 张敏 Anna-Marie 陈静 刘强 黄丽", name, " ")
    filler = "三年级二班 学号 2026 备注 ............................................"
    for (i = 1; i <= n; ++i) {
      line = sprintf("%s %07d", name[i % 8 + 1], i)
      if (width > 0) line = line " " substr(filler, 1, width - 3 - length(line))
      printf "%s\r\n", line
    }
  }' >"$2"
}
