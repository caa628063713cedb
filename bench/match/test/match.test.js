// Match runner tests: argument and line parsing, adjudication, and whole matches
// against the fake engine in each misbehaviour mode (counts and exit status).
'use strict';

const assert = require('node:assert/strict');
const childProcess = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');
const {Chess} = require('chess.js');
const match = require('../match.js');

const MATCH = path.join(__dirname, '..', 'match.js');
const FAKE = `node ${path.join(__dirname, '..', 'fake_engine.js')}`;
const TMP = fs.mkdtempSync(path.join(os.tmpdir(), 'match-test-'));

function WriteOpenings(name, lines) {
    const file = path.join(TMP, name);
    fs.writeFileSync(file, lines.join('\n') + '\n');
    return file;
}

// Short game: rook ending that random play draws or ends within 100 plies.
const ROOK_ENDING = WriteOpenings('rook.epd', ['8/8/8/8/8/2k5/8/K6R w - -']);
const PROMOTION = WriteOpenings('promo.epd', ['8/P7/8/8/8/7k/8/K7 w - -']);

// Runs a match and returns {status, output, engines: [{field: count}]}.
function RunMatch(args) {
    const run = childProcess.spawnSync('node', [MATCH, ...args], {encoding: 'utf8'});
    const engines = [1, 2].map((slot) => {
        const line = run.stdout.split('\n').find(
            (text) => text.startsWith(`engine${slot} `) && text.includes('illegal moves'));
        assert.ok(line, `no summary for engine${slot}:\n${run.stdout}${run.stderr}`);
        const counts = {};
        for (const [, key, value] of line.matchAll(/([a-z][a-z ]*?) (\d+)/g)) {
            counts[key.trim()] = parseInt(value, 10);
        }
        return counts;
    });
    return {status: run.status, output: run.stdout, engines};
}

function MatchArgs(engine1, extra) {
    return [
        '--engine1', engine1, '--engine2', `${FAKE} --seed 9`, '--games', '2', '--tc', '1+0.05',
        '--hang-grace', '300', ...extra
    ];
}

test('time control, options and arguments parse', () => {
    assert.deepEqual(match.ParseTimeControl('10+0.1'), {baseMs: 10000, incMs: 100});
    assert.deepEqual(match.ParseTimeControl('5'), {baseMs: 5000, incMs: 0});
    assert.throws(() => match.ParseTimeControl('10+x'));
    assert.deepEqual(match.ParseOption('Hash=16'), {name: 'Hash', value: '16'});
    assert.deepEqual(match.ParseOption('Book file=a=b'), {name: 'Book file', value: 'a=b'});
    assert.throws(() => match.ParseOption('=3'));
    const config = match.ParseArgs([
        '--engine1', 'a', '--engine2', 'b', '--option', 'Hash=8', '--option2', 'Threads=1',
        '--reuse', '--games', '4'
    ]);
    assert.equal(config.games, 4);
    assert.equal(config.reuse, true);
    assert.equal(config.options[0].length, 1);
    assert.equal(config.options[1].length, 2);
    assert.throws(() => match.ParseArgs(['--engine1', 'a']));
    assert.throws(() => match.ParseArgs(['--engine1', 'a', '--engine2', 'b', '--games', '-1']));
    assert.throws(() => match.ParseArgs(['--bogus']));
});

test('UCI output lines are classified', () => {
    for (const line
             of ['id name X', 'id author Y', 'uciok', 'readyok', 'bestmove e2e4',
                 'bestmove e7e8q ponder a7a8', 'info depth 3 pv e2e4',
                 'option name Hash type spin default 1 min 1 max 2', '']) {
        assert.equal(match.IsUciOutputLine(line), true, line);
    }
    for (const line
             of ['hello', 'id copyright 2026', 'bestmove', 'bestmove a b c',
                 'No such file or directory']) {
        assert.equal(match.IsUciOutputLine(line), false, line);
    }
});

test('legal moves are lower-case long algebraic', () => {
    const legal = match.LegalMoveTexts(new Chess('8/P7/8/8/8/7k/8/K7 w - - 0 1'));
    assert.ok(legal.has('a7a8q'));
    assert.ok(legal.has('a7a8n'));
    assert.ok(!legal.has('a7a8Q'));
    assert.ok(!legal.has('a7a8'));
    assert.ok(match.LegalMoveTexts(new Chess()).has('e2e4'));
    assert.ok(match.LegalMoveTexts(new Chess('4k3/8/8/8/8/8/8/4K2R w K - 0 1')).has('e1g1'));
});

test('positions are adjudicated', () => {
    const mate = new Chess('k7/8/1K6/8/8/8/8/7R w - - 0 1');
    mate.move('Rh8');
    assert.deepEqual(match.AdjudicatePosition(mate, 'w'), {result: '1-0', reason: 'checkmate'});
    const stalemate = new Chess('k7/2K5/8/8/8/8/8/1Q6 w - - 0 1');
    stalemate.move('Qb6');
    assert.equal(match.AdjudicatePosition(stalemate, 'w').reason, 'stalemate');
    assert.equal(
        match.AdjudicatePosition(new Chess('k7/8/8/8/8/8/8/6NK w - - 0 1'), 'b').reason,
        'insufficient material');
    const fifty = new Chess('k7/8/8/8/8/8/8/6RK w - - 99 80');
    fifty.move('Rg2');
    assert.equal(match.AdjudicatePosition(fifty, 'w').reason, 'fifty-move rule');
    const repeat = new Chess();
    for (const move of ['Nf3', 'Nf6', 'Ng1', 'Ng8', 'Nf3', 'Nf6', 'Ng1', 'Ng8']) {
        repeat.move(move);
    }
    assert.equal(match.AdjudicatePosition(repeat, 'b').reason, 'threefold repetition');
    assert.equal(match.AdjudicatePosition(new Chess(), 'b'), null);
});

test('openings load from EPD and FEN lines', () => {
    const file = WriteOpenings('mixed.epd', [
        '# comment', '', '8/8/8/8/8/2k5/8/K6R w - -', '8/8/8/8/8/2k5/8/K6R b - - 3 40',
        '8/8/8/8/8/2k5/8/K6R w - - bm Rh3;'
    ]);
    assert.deepEqual(match.LoadOpenings(file), [
        '8/8/8/8/8/2k5/8/K6R w - - 0 1', '8/8/8/8/8/2k5/8/K6R b - - 3 40',
        '8/8/8/8/8/2k5/8/K6R w - - 0 1'
    ]);
    assert.equal(match.LoadOpenings(path.join(__dirname, '..', 'openings.epd')).length, 100);
    assert.throws(() => match.LoadOpenings(WriteOpenings('bad.epd', ['not a position'])));
});

test('clean match exits 0 and writes PGN, fresh and reused engines', () => {
    for (const reuse of [[], ['--reuse']]) {
        const pgn = path.join(TMP, `clean${reuse.length}.pgn`);
        const run = RunMatch(MatchArgs(
            `${FAKE} --seed 3`,
            ['--openings', ROOK_ENDING, '--concurrency', '2', '--pgn', pgn, ...reuse]));
        assert.equal(run.status, 0, run.output);
        assert.equal(run.engines[0].wins + run.engines[0].draws + run.engines[0].losses, 2);
        assert.equal(run.engines[0].wins, run.engines[1].losses);
        // The fake engine answers without a pv line.
        assert.ok(run.engines[0]['moves without a line'] > 0, run.output);
        assert.match(run.output, /^games 2, average moves per game/m);
        const text = fs.readFileSync(pgn, 'utf8');
        assert.equal(text.match(/\[Event /g).length, 2);
        assert.match(text, /\[FEN "8\/8\/8\/8\/8\/2k5\/8\/K6R w - - 0 1"\]/);
    }
});

test('illegal, upper-case promotion and null moves lose and fail the match', () => {
    const cases = [
        [`${FAKE} --mode illegal --bad-after 3`, []], [`${FAKE} --mode null --bad-after 2`, []],
        [`${FAKE} --mode upper`, ['--openings', PROMOTION]]
    ];
    for (const [engine, extra] of cases) {
        const run = RunMatch(MatchArgs(engine, extra));
        assert.equal(run.status, 1, run.output);
        assert.ok(run.engines[0]['illegal moves'] >= 1, run.output);
        assert.ok(run.engines[0].losses >= 1, run.output);
        assert.equal(run.engines[1]['illegal moves'], 0);
    }
});

test('crash and hang are losses and fail the match', () => {
    // A crashed or hung engine is restarted, so it fails again in the second game.
    for (const reuse of [[], ['--reuse']]) {
        const crash = RunMatch(MatchArgs(`${FAKE} --mode crash --bad-after 2`, reuse));
        assert.equal(crash.status, 1);
        assert.equal(crash.engines[0].crashes, 2, crash.output);
        assert.match(crash.output, /crashed \(exit 3\)/);
        const hang =
            RunMatch(MatchArgs(`${FAKE} --mode silent --bad-after 2`, ['--tc', '0.2+0', ...reuse]));
        assert.equal(hang.status, 1);
        assert.equal(hang.engines[0].hangs, 2, hang.output);
        assert.equal(hang.engines[0].losses, 2);
    }
    const missing = RunMatch(MatchArgs(path.join(TMP, 'no-such-engine'), []));
    assert.equal(missing.status, 1);
    assert.equal(missing.engines[0].crashes, 2);
});

test('time loss, and overrun within the margin is reported but not lost', () => {
    const slow = RunMatch(MatchArgs(`${FAKE} --mode slow --delay 250`, ['--tc', '0.2+0']));
    assert.equal(slow.status, 1);
    assert.equal(slow.engines[0]['time losses'], 2, slow.output);
    assert.equal(slow.engines[0]['time overruns'], 2);
    const within = RunMatch(MatchArgs(
        `${FAKE} --mode slow --delay 250 --bad-count 1`,
        ['--tc', '0.2+0.1', '--margin', '1000', '--openings', ROOK_ENDING, '--reuse']));
    assert.equal(within.status, 0, within.output);
    assert.ok(within.engines[0]['time overruns'] >= 1, within.output);
    assert.equal(within.engines[0]['time losses'], 0);
    assert.match(within.output, /^overrun: game 1 engine1/m);
});

test('non-UCI output is a warning with its text, not a failure', () => {
    const run = RunMatch(MatchArgs(
        `${FAKE} --mode garbage --bad-after 2 --bad-count 1`,
        ['--openings', ROOK_ENDING, '--option', 'Hash=8', '--option1', 'NoSuchOption=1']));
    assert.equal(run.status, 0, run.output);
    assert.equal(run.engines[0]['protocol warnings'], 4, run.output);
    assert.match(run.output, /non-UCI output: 'hello from a broken engine'/);
    assert.match(run.output, /option 'NoSuchOption' not offered/);
    assert.equal(run.engines[1]['protocol warnings'], 0);
});

test('help and bad arguments', () => {
    const help = childProcess.spawnSync('node', [MATCH, '--help'], {encoding: 'utf8'});
    assert.equal(help.status, 0);
    assert.match(help.stdout, /--concurrency N/);
    const bad = childProcess.spawnSync('node', [MATCH, '--games', '2'], {encoding: 'utf8'});
    assert.equal(bad.status, 2);
    const badOpenings = childProcess.spawnSync(
        'node', [MATCH, ...MatchArgs(FAKE, ['--openings', path.join(TMP, 'none.epd')])],
        {encoding: 'utf8'});
    assert.equal(badOpenings.status, 2);
    assert.match(badOpenings.stderr, /no such file/i);
});

test.after(() => fs.rmSync(TMP, {recursive: true, force: true}));
