#!/usr/bin/env python3
"""Each test's own coverage of the product code, from the coverage build.

  tools/per-test-coverage.py run            # after tools/coverage.sh has built build-cov
  tools/per-test-coverage.py check [TEST]... [--file tests/x/y_test.cpp]...

`run` runs every ctest test of build-cov alone, two at a time, each writing
its gcov counters under its own prefix (GCOV_PREFIX), and keeps, per test,
the set of product arcs it ran: counters of functions defined in the
product's own sources (not tests/, bench/, fuzz/, not standard-library code
inlined into our objects). It writes OUT/tests.tsv (per test: file, line,
arcs, arcs only it runs, whether it belongs to one maximal set of tests that
can all go without losing an arc, body lines) and OUT/cover.pkl.

`check` prints the product arcs no test would run any more if the named tests
(wildcards allowed) and those listed in OUT/drops-*.txt were gone, grouped by
function. Zero lost arcs says nothing of what a test asserts: read the test.
OUT is $PER_TEST_OUT or /tmp/per-test-coverage; the build is $BUILD_DIR or
build-cov.
"""
import collections, concurrent.futures as cf, csv, fnmatch, glob, json, os, pickle, re, struct, subprocess, sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
BUILD = os.path.join(ROOT, os.environ.get('BUILD_DIR', 'build-cov'))
OUT = os.environ.get('PER_TEST_OUT', '/tmp/per-test-coverage')
SKIP = ('tests/', 'bench/', 'fuzz/')
NOT_PRODUCT = tuple(os.path.join(ROOT, s) for s in SKIP + ('build',))


def gcda_arcs(path):
    """(function ident, counter index) of every non-zero arc counter (gcc 12 format)."""
    b = open(path, 'rb').read()
    pos, ident, res = 16, None, []
    while pos + 8 <= len(b):
        tag, ln = struct.unpack_from('<Ii', b, pos)
        pos += 8
        if tag == 0x01000000:
            ident = struct.unpack_from('<I', b, pos)[0]
        elif tag == 0x01a10000 and ln > 0:  # a negative length marks all-zero counters
            for k, v in enumerate(struct.unpack_from('<%dQ' % (ln // 8), b, pos)):
                if v:
                    res.append((ident, k))
        if ln > 0:
            pos += ln
    return res


def product_functions():
    """(gcda path relative to the build, ident) -> (name, source, line), our sources only."""
    rx = re.compile(r"^(.*\.gcno):\s+01000000:\s+\d+:FUNCTION ident=(\d+),.*`(.*)' (\S+?):(\d+):")
    gcnos = [os.path.relpath(os.path.join(dp, f), BUILD) for dp, _, fs in os.walk(BUILD) for f in fs
             if f.endswith('.gcno')]
    gcnos = [g for g in gcnos if not g.startswith(SKIP)]
    out = subprocess.run(['gcov-dump'] + gcnos, cwd=BUILD, capture_output=True, text=True).stdout
    fn = {}
    for line in out.splitlines():
        m = rx.match(line)
        if m and m.group(4).startswith(ROOT + '/') and not m.group(4).startswith(NOT_PRODUCT):
            fn[(m.group(1)[:-5] + '.gcda', int(m.group(2)))] = (m.group(3), m.group(4), int(m.group(5)))
    return fn


def run():
    tests = json.loads(subprocess.run(['ctest', '--test-dir', BUILD, '--show-only=json-v1'],
                                      capture_output=True, text=True, check=True).stdout)['tests']
    subprocess.run(['rm', '-rf', OUT], check=True)
    os.makedirs(OUT)

    def one(i):
        t = tests[i]
        env = dict(os.environ, QT_QPA_PLATFORM='offscreen', GCOV_PREFIX=f'{OUT}/run/{i}', GCOV_PREFIX_STRIP='0')
        wd = None
        for p in t.get('properties', []):
            if p['name'] == 'WORKING_DIRECTORY':
                wd = p['value']
            if p['name'] == 'ENVIRONMENT':
                env.update(kv.split('=', 1) for kv in p['value'])
        try:
            rc = subprocess.run(t['command'], cwd=wd, env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=300).returncode
        except subprocess.TimeoutExpired:
            rc = 'timeout'
        return i, rc

    with cf.ThreadPoolExecutor(2) as ex:
        rcs = dict(ex.map(one, range(len(tests))))
    fn = product_functions()
    keys, cover = {}, {}
    for i, t in enumerate(tests):
        base = f'{OUT}/run/{i}{BUILD}/'
        s = set()
        for dp, _, fs in os.walk(base):
            rel = os.path.relpath(dp, base)
            for f in fs:
                g = os.path.join(rel, f)
                if f.endswith('.gcda') and not g.startswith(SKIP):
                    s.update(keys.setdefault((g, ident, k), len(keys))
                             for ident, k in gcda_arcs(os.path.join(dp, f)) if (g, ident) in fn)
        cover[t['name']] = s
    count = collections.Counter()
    for s in cover.values():
        count.update(s)
    alive, removable = dict(count), set()
    for name in sorted(cover, key=lambda n: len(cover[n])):
        if all(alive[c] >= 2 for c in cover[name]):
            for c in cover[name]:
                alive[c] -= 1
            removable.add(name)
    where = locate_tests()
    with open(f'{OUT}/tests.tsv', 'w') as o:
        o.write('file\tline\ttest\tarcs\tunique_arcs\tremovable\tlines\trc\n')
        for i, t in enumerate(tests):
            n = t['name']
            f, line, size = where.get(test_key(n), ('?', 0, 0))
            o.write(f'{f}\t{line}\t{n}\t{len(cover[n])}\t{sum(count[c] == 1 for c in cover[n])}\t'
                    f'{n in removable}\t{size}\t{rcs[i]}\n')
    pickle.dump({'cover': cover, 'keys': {v: k for k, v in keys.items()}, 'fn': fn}, open(f'{OUT}/cover.pkl', 'wb'))
    subprocess.run(['rm', '-rf', f'{OUT}/run'])
    print(f'{len(tests)} tests, {len(count)} product arcs, {len(removable)} in one droppable set; {OUT}/tests.tsv')


def test_key(name):
    parts = name.split('.')
    return parts[0].split('/')[-1], (parts[1].split('/')[0] if len(parts) > 1 else '')


def locate_tests():
    pat = re.compile(r'^\s*(?:TEST|TEST_F|TEST_P|TYPED_TEST)\(\s*(\w+)\s*,\s*(\w+)\s*\)')
    where = {}
    for f in glob.glob(f'{ROOT}/tests/**/*.cpp', recursive=True):
        lines = open(f).read().split('\n')
        starts = [(n, m.group(1), m.group(2)) for n, l in enumerate(lines) if (m := pat.match(l))]
        for k, (n, suite, name) in enumerate(starts):
            end = starts[k + 1][0] if k + 1 < len(starts) else len(lines)
            where[(suite, name)] = (os.path.relpath(f, ROOT), n + 1, sum(1 for l in lines[n:end] if l.strip()))
    return where


def check(args):
    d = pickle.load(open(f'{OUT}/cover.pkl', 'rb'))
    cover, keys, fn = d['cover'], d['keys'], d['fn']
    rows = list(csv.DictReader(open(f'{OUT}/tests.tsv'), delimiter='\t'))
    drop = set()
    for f in glob.glob(f'{OUT}/drops-*.txt'):
        drop |= {l.strip() for l in open(f) if l.strip() and not l.startswith('#')}
    i = 0
    while i < len(args):
        if args[i] == '--file':
            drop |= {r['test'] for r in rows if r['file'] == args[i + 1]}
            i += 2
        else:
            drop |= {t for t in cover if fnmatch.fnmatch(t, args[i]) or fnmatch.fnmatch(t.split('/', 1)[-1], args[i])}
            i += 1
    kept = collections.Counter()
    for t, s in cover.items():
        if t not in drop:
            kept.update(s)
    lost = {c for t in drop if t in cover for c in cover[t] if not kept[c]}
    print(f'dropping {len(drop)} tests: {len(lost)} product arcs lost')
    by = collections.Counter()
    for c in lost:
        g, ident, _ = keys[c]
        name, src, line = fn.get((g, ident), ('?', g, 0))
        by[(name, os.path.relpath(src, ROOT), line)] += 1
    names = subprocess.run(['c++filt'], input='\n'.join(k[0] for k in by), capture_output=True, text=True).stdout
    for (k, n), dn in zip(by.items(), names.split('\n')):
        print(f'  {n:3d} arcs  {k[1]}:{k[2]}  {dn[:110]}')


if __name__ == '__main__':
    if len(sys.argv) >= 2 and sys.argv[1] == 'run':
        run()
    elif len(sys.argv) >= 2 and sys.argv[1] == 'check':
        check(sys.argv[2:])
    else:
        sys.exit(__doc__)
