#!/usr/bin/env node
// UCI match runner: plays pairs of games from each opening with colours swapped,
// on real clocks measured with a monotonic timer. chess.js is the legality judge;
// every engine fault (illegal move, time loss, crash, hang, bad output) is counted.
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const path = require('path');
const readline = require('readline');
const {Chess} = require('chess.js');

const START_FEN = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
const INIT_TIMEOUT_MS = 10000;
const QUIT_WAIT_MS = 1000;
const MAX_PRINTED_WARNINGS = 20;
const FAULT_COUNTERS = {
    crash: 'crashes',
    hang: 'hangs',
    time: 'timeLosses'
};
const UCI_OUTPUT_WORDS =
    ['id', 'uciok', 'readyok', 'bestmove', 'copyprotection', 'registration', 'info', 'option'];

const HELP_TEXT = `Usage: node match.js --engine1 CMD --engine2 CMD [options]

Plays a match between two UCI engines. Each opening is played twice with colours
swapped. CMD is an executable path, optionally followed by arguments (split on spaces).

Options:
  --engine1 CMD, --engine2 CMD  engine commands (required)
  --games N                     number of games (default 2)
  --tc BASE+INC                 time control in seconds, e.g. 10+0.1 (default 10+0.1)
  --openings FILE               EPD/FEN file, one position a line (default: start position)
  --concurrency N               games played in parallel (default 1)
  --option NAME=VALUE           setoption for both engines (repeatable)
  --option1 NAME=VALUE          setoption for engine1 only (repeatable); --option2 likewise
  --pgn FILE                    append finished games to FILE
  --margin MS                   clock may go this far below 0 before a time loss (default 0);
                                every overrun below 0 is reported regardless
  --hang-grace MS               no bestmove within clock + this is a hang (default 5000)
  --reuse                       keep engine processes between games (ucinewgame);
                                default starts fresh processes for every game
  --help                        print this text

Exit status is 0 only when no illegal move, crash, hang or time loss happened.
`;

// ---------------------------------------------------------------- arguments

function ParseTimeControl(text) {
    const match = /^(\d+(?:\.\d+)?)(?:\+(\d+(?:\.\d+)?))?$/.exec(String(text));
    if (!match) {
        throw new Error(`bad --tc '${text}', expected BASE+INC in seconds`);
    }
    return {
        baseMs: Math.round(parseFloat(match[1]) * 1000),
        incMs: Math.round(parseFloat(match[2] || '0') * 1000),
    };
}

function ParseOption(text) {
    const eq = text.indexOf('=');
    if (eq <= 0) {
        throw new Error(`bad option '${text}', expected NAME=VALUE`);
    }
    return {name: text.slice(0, eq).trim(), value: text.slice(eq + 1).trim()};
}

function ParseNonNegativeInt(name, text) {
    if (!/^\d+$/.test(String(text))) {
        throw new Error(`${name} needs a non-negative integer, got '${text}'`);
    }
    return parseInt(text, 10);
}

// Flags that take a value, and where the value goes.
const VALUE_FLAGS = {
    '--engine1': (config, value) => (config.engines[0] = value),
    '--engine2': (config, value) => (config.engines[1] = value),
    '--games': (config, value) => (config.games = ParseNonNegativeInt('--games', value)),
    '--tc': (config, value) => (config.tc = ParseTimeControl(value)),
    '--openings': (config, value) => (config.openings = value),
    '--concurrency': (config, value) =>
        (config.concurrency = ParseNonNegativeInt('--concurrency', value)),
    '--pgn': (config, value) => (config.pgn = value),
    '--margin': (config, value) => (config.marginMs = ParseNonNegativeInt('--margin', value)),
    '--hang-grace': (config, value) =>
        (config.hangGraceMs = ParseNonNegativeInt('--hang-grace', value)),
    '--option': (config, value) => {
        config.options[0].push(ParseOption(value));
        config.options[1].push(ParseOption(value));
    },
    '--option1': (config, value) => config.options[0].push(ParseOption(value)),
    '--option2': (config, value) => config.options[1].push(ParseOption(value)),
};

function ParseArgs(argv) {
    const config = {
        engines: [null, null],
        games: 2,
        tc: ParseTimeControl('10+0.1'),
        openings: null,
        concurrency: 1,
        options: [[], []],
        pgn: null,
        marginMs: 0,
        hangGraceMs: 5000,
        reuse: false,
        help: false,
    };
    for (let i = 0; i < argv.length; i++) {
        const flag = argv[i];
        if (flag === '--help' || flag === '-h') {
            config.help = true;
        } else if (flag === '--reuse') {
            config.reuse = true;
        } else if (VALUE_FLAGS[flag]) {
            if (i + 1 >= argv.length) {
                throw new Error(`${flag} needs a value`);
            }
            VALUE_FLAGS[flag](config, argv[++i]);
        } else {
            throw new Error(`unknown argument '${flag}' (see --help)`);
        }
    }
    if (!config.help && (!config.engines[0] || !config.engines[1])) {
        throw new Error('--engine1 and --engine2 are required (see --help)');
    }
    config.concurrency = Math.max(1, config.concurrency);
    return config;
}

// Openings: FEN or EPD lines (EPD has no move counters; "0 1" is assumed).
function LoadOpenings(file) {
    if (!file) {
        return [START_FEN];
    }
    const openings = [];
    for (const raw of fs.readFileSync(file, 'utf8').split(/\r?\n/)) {
        const line = raw.trim();
        if (!line || line.startsWith('#')) {
            continue;
        }
        const fields = line.split(/\s+/);
        if (fields.length < 4) {
            throw new Error(`${file}: bad position '${line}'`);
        }
        const hasCounters = /^\d+$/.test(fields[4] || '') && /^\d+$/.test(fields[5] || '');
        const counters = hasCounters ? fields.slice(4, 6) : ['0', '1'];
        const fen = fields.slice(0, 4).concat(counters).join(' ');
        new Chess(fen);  // throws on an invalid position
        openings.push(fen);
    }
    if (openings.length === 0) {
        throw new Error(`${file}: no positions`);
    }
    return openings;
}

// ---------------------------------------------------------------- engine process

// A line the engine may legally print; blank lines are tolerated silently.
function IsUciOutputLine(line) {
    const words = line.trim().split(/\s+/);
    if (words[0] === '') {
        return true;
    }
    if (!UCI_OUTPUT_WORDS.includes(words[0])) {
        return false;
    }
    if (words[0] === 'id') {
        return words[1] === 'name' || words[1] === 'author';
    }
    if (words[0] === 'bestmove') {
        return words.length === 2 || (words.length === 4 && words[2] === 'ponder');
    }
    if (words[0] === 'option') {
        return words[1] === 'name';
    }
    return true;
}

function NowMs() { return Number(process.hrtime.bigint()) / 1e6; }

function StartEngine(command, slot, stats) {
    const parts = command.trim().split(/\s+/);
    const engine = {
        slot,
        name: path.basename(parts[0]),
        options: new Set(),
        queue: [],
        waiter: null,
        closed: false,
        exitCode: null,
        quitting: false,
        proc: null,
    };
    const wake = () => {
        if (engine.waiter) {
            const waiter = engine.waiter;
            engine.waiter = null;
            waiter();
        }
    };
    engine.proc = childProcess.spawn(parts[0], parts.slice(1), {stdio: ['pipe', 'pipe', 'ignore']});
    engine.exited = new Promise((resolve) => {
        engine.proc.on('error', (error) => {
            engine.exitCode = error.code;
            engine.closed = true;
            wake();
            resolve();
        });
        engine.proc.on('exit', (code, signal) => {
            engine.exitCode = signal || code;
            resolve();
        });
    });
    engine.proc.stdin.on('error', () => {});
    const lines = readline.createInterface({input: engine.proc.stdout});
    lines.on('line', (text) => {
        const atMs = NowMs();
        const idName = /^id\s+name\s+(.+)$/.exec(text.trim());
        if (idName) {
            engine.name = idName[1];
        }
        if (!IsUciOutputLine(text)) {
            RecordWarning(stats, engine, `non-UCI output: '${text}'`);
        }
        engine.queue.push({text: text.trim(), atMs});
        wake();
    });
    lines.on('close', () => {
        engine.closed = true;
        wake();
    });
    return engine;
}

function Send(engine, line) {
    if (!engine.closed && engine.proc.stdin.writable) {
        engine.proc.stdin.write(line + '\n');
    }
}

// Next line from the engine: {text, atMs}, or {timeout: true}, or {closed: true}.
async function ReadLine(engine, deadlineMs) {
    for (;;) {
        if (engine.queue.length > 0) {
            return engine.queue.shift();
        }
        if (engine.closed) {
            return {closed: true};
        }
        const waitMs = deadlineMs - NowMs();
        if (waitMs <= 0) {
            return {timeout: true};
        }
        await new Promise((resolve) => {
            const timer = setTimeout(() => {
                engine.waiter = null;
                resolve();
            }, Math.ceil(waitMs));
            engine.waiter = () => {
                clearTimeout(timer);
                resolve();
            };
        });
    }
}

// Reads lines until one starts with `word`; returns it or a timeout/closed marker.
async function WaitFor(engine, word, deadlineMs, onLine) {
    for (;;) {
        const line = await ReadLine(engine, deadlineMs);
        if (line.timeout || line.closed || line.text.split(/\s+/)[0] === word) {
            return line;
        }
        if (onLine) {
            onLine(line.text);
        }
    }
}

async function StopEngine(engine) {
    if (!engine || engine.quitting) {
        return;
    }
    engine.quitting = true;
    Send(engine, 'quit');
    const deadline = NowMs() + QUIT_WAIT_MS;
    while (!engine.closed && NowMs() < deadline) {
        await ReadLine(engine, deadline);
        engine.queue.length = 0;
    }
    if (engine.proc.exitCode === null && engine.proc.signalCode === null) {
        engine.proc.kill('SIGKILL');
    }
}

// uci/uciok, options; returns null or a fault ('crash' | 'hang').
async function HandshakeEngine(engine, options, stats) {
    Send(engine, 'uci');
    const uciok = await WaitFor(engine, 'uciok', NowMs() + INIT_TIMEOUT_MS, (text) => {
        const match = /^option\s+name\s+(.*?)\s+type\s/.exec(text);
        if (match) {
            engine.options.add(match[1].toLowerCase());
        }
    });
    if (uciok.timeout || uciok.closed) {
        return uciok.closed ? 'crash' : 'hang';
    }
    if (engine.options.has('ponder')) {
        Send(engine, 'setoption name Ponder value false');
    }
    for (const option of options) {
        if (!engine.options.has(option.name.toLowerCase())) {
            RecordWarning(stats, engine, `option '${option.name}' not offered by the engine`);
        }
        Send(engine, `setoption name ${option.name} value ${option.value}`);
    }
    return null;
}

// ucinewgame + isready/readyok; returns null or a fault.
async function NewGame(engine) {
    Send(engine, 'ucinewgame');
    Send(engine, 'isready');
    const readyok = await WaitFor(engine, 'readyok', NowMs() + INIT_TIMEOUT_MS, null);
    if (readyok.timeout || readyok.closed) {
        return readyok.closed ? 'crash' : 'hang';
    }
    return null;
}

// ---------------------------------------------------------------- statistics

function NewEngineStats() {
    return {
        wins: 0,
        draws: 0,
        losses: 0,
        illegal: 0,
        timeLosses: 0,
        overruns: 0,
        crashes: 0,
        hangs: 0,
        movesWithoutLine: 0,
        warnings: 0,
        warningTexts: new Set(),
    };
}

// Counts every warning; prints each distinct text once per engine, up to a limit.
function RecordWarning(stats, engine, text) {
    const engineStats = stats.engines[engine.slot];
    engineStats.warnings++;
    if (engineStats.warningTexts.has(text)) {
        return;
    }
    engineStats.warningTexts.add(text);
    if (engineStats.warningTexts.size <= MAX_PRINTED_WARNINGS) {
        console.log(`warning: engine${engine.slot + 1} (${engine.name}): ${text}`);
    } else if (engineStats.warningTexts.size === MAX_PRINTED_WARNINGS + 1) {
        console.log(`warning: engine${engine.slot + 1}: further warnings counted, not printed`);
    }
}

// ---------------------------------------------------------------- one game

function MoveObject(text) {
    return {from: text.slice(0, 2), to: text.slice(2, 4), promotion: text[4]};
}

// Legal moves in UCI long algebraic; a promotion letter is lower case.
function LegalMoveTexts(chess) {
    return new Set(chess.moves({verbose: true}).map((move) => move.lan));
}

// Result of the position after a move by `mover` ('w' | 'b'), or null to play on.
function AdjudicatePosition(chess, mover) {
    if (chess.isCheckmate()) {
        return {result: mover === 'w' ? '1-0' : '0-1', reason: 'checkmate'};
    }
    const draws = [
        [chess.isStalemate(), 'stalemate'],
        [chess.isInsufficientMaterial(), 'insufficient material'],
        [chess.isThreefoldRepetition(), 'threefold repetition'],
        [chess.isDrawByFiftyMoves(), 'fifty-move rule'],
    ];
    const draw = draws.find(([holds]) => holds);
    return draw ? {result: '1/2-1/2', reason: draw[1]} : null;
}

function LossFor(side, reason) { return {result: side === 'w' ? '0-1' : '1-0', reason}; }

// One `go` on the mover's clock: returns {moveText} or {fault, reason}.
async function AskMove(game, engine, clocks, side) {
    const {config, stats} = game;
    for (const stale of engine.queue.splice(0)) {
        if (stale.text.startsWith('bestmove')) {
            RecordWarning(stats, engine, `unrequested '${stale.text}'`);
        }
    }
    const moveList = game.moves.length ? ' moves ' + game.moves.join(' ') : '';
    const position = game.fen === START_FEN ? 'startpos' : 'fen ' + game.fen;
    Send(engine, `position ${position}${moveList}`);
    const tc = config.tc;
    const startMs = NowMs();
    Send(
        engine,
        `go wtime ${Math.max(0, Math.round(clocks.w))} btime ${
            Math.max(0, Math.round(clocks.b))} winc ${tc.incMs} binc ${tc.incMs}`);
    let pvLines = 0;
    const reply = await WaitFor(engine, 'bestmove', startMs + clocks[side] + config.hangGraceMs,
                                (text) => (pvLines += / pv /.test(` ${text} `) ? 1 : 0));
    if (reply.closed) {
        await Promise.race([engine.exited, new Promise((resolve) => setTimeout(resolve, 500))]);
        return {fault: 'crash', reason: `crashed (exit ${engine.exitCode})`};
    }
    if (reply.timeout) {
        return {fault: 'hang', reason: 'no bestmove'};
    }
    clocks[side] -= reply.atMs - startMs;
    if (clocks[side] < 0) {
        stats.engines[engine.slot].overruns++;
        console.log(`overrun: game ${game.number} engine${engine.slot + 1} (${engine.name}) ply ${
            game.moves.length + 1} clock ${clocks[side].toFixed(1)} ms`);
        if (clocks[side] < -config.marginMs) {
            return {fault: 'time', reason: 'loses on time'};
        }
    }
    clocks[side] += tc.incMs;
    if (pvLines === 0) {
        stats.engines[engine.slot].movesWithoutLine++;
    }
    const words = reply.text.split(/\s+/);
    return {moveText: words[1] || ''};
}

// Plays moves until the game ends; players[side] is the engine to move; returns the outcome.
async function PlayMoves(game, players) {
    const chess = new Chess(game.fen);
    const clocks = {w: game.config.tc.baseMs, b: game.config.tc.baseMs};
    for (;;) {
        const side = chess.turn();
        const engine = players[side];
        const answer = await AskMove(game, engine, clocks, side);
        const engineStats = game.stats.engines[engine.slot];
        if (answer.fault) {
            engineStats[FAULT_COUNTERS[answer.fault]]++;
            engine.broken = answer.fault !== 'time';
            return LossFor(side, `${engine.name} ${answer.reason}`);
        }
        if (!LegalMoveTexts(chess).has(answer.moveText)) {
            engineStats.illegal++;
            return LossFor(side, `${engine.name} illegal move '${answer.moveText}'`);
        }
        chess.move(MoveObject(answer.moveText));
        game.moves.push(answer.moveText);
        const outcome = AdjudicatePosition(chess, side);
        if (outcome) {
            return outcome;
        }
    }
}

// Brings both engines to a fresh game; returns null or the result of a start-up fault.
async function PrepareEngines(game, players) {
    for (const side of ['w', 'b']) {
        const engine = players[side];
        let fault = null;
        if (!engine.handshaken) {
            fault = await HandshakeEngine(engine, game.config.options[engine.slot], game.stats);
            engine.handshaken = !fault;
        }
        fault = fault || await NewGame(engine);
        if (fault) {
            game.stats.engines[engine.slot][FAULT_COUNTERS[fault]]++;
            engine.broken = true;
            return LossFor(side, `${engine.name} ${fault} at start-up`);
        }
    }
    return null;
}

async function PlayGame(game, pool) {
    for (const slot of [0, 1]) {
        if (!pool[slot] || pool[slot].broken || !game.config.reuse) {
            await StopEngine(pool[slot]);
            pool[slot] = StartEngine(game.config.engines[slot], slot, game.stats);
        }
    }
    const players = game.whiteSlot === 0 ? {w: pool[0], b: pool[1]} : {w: pool[1], b: pool[0]};
    const outcome = (await PrepareEngines(game, players)) || (await PlayMoves(game, players));
    const names = [pool[0].name, pool[1].name];
    if (!game.config.reuse) {
        await Promise.all([StopEngine(pool[0]), StopEngine(pool[1])]);
        pool[0] = pool[1] = null;
    }
    const label = (engine) => `${engine.name} [engine${engine.slot + 1}]`;
    return {outcome, names, white: label(players.w), black: label(players.b)};
}

// ---------------------------------------------------------------- reporting

function PgnText(game, record) {
    const chess = new Chess(game.fen);
    for (const move of game.moves) {
        chess.move(MoveObject(move));
    }
    const date = new Date().toISOString().slice(0, 10).replace(/-/g, '.');
    const tc = game.config.tc;
    const tags = [
        ['Event', 'match'], ['Site', '?'], ['Date', date], ['Round', String(game.number)],
        ['White', record.white], ['Black', record.black], ['Result', record.outcome.result],
        ['TimeControl', `${tc.baseMs / 1000}+${tc.incMs / 1000}`],
        ['Termination', record.outcome.reason]
    ];
    for (const [key, value] of tags) {
        chess.setHeader(key, value);
    }
    let text = chess.pgn({maxWidth: 80});
    if (!text.trimEnd().endsWith(record.outcome.result)) {
        text += (game.moves.length ? ' ' : '\n') + record.outcome.result;
    }
    return text + '\n\n';
}

function EloOf(score) {
    if (score <= 0 || score >= 1) {
        return score <= 0 ? '-inf' : '+inf';
    }
    return (-400 * Math.log10(1 / score - 1)).toFixed(1);
}

// Score with its 95% margin from the games' own spread, and the Elo range it gives.
function ScoreLine(stats) {
    const e = stats.engines[0];
    const n = e.wins + e.draws + e.losses;
    const score = n ? (e.wins + e.draws / 2) / n : 0.5;
    const variance =
        n ? (e.wins * (1 - score) ** 2 + e.draws * (0.5 - score) ** 2 + e.losses * score ** 2) / n :
            0;
    const margin = n > 1 ? 1.96 * Math.sqrt(variance / (n - 1)) : 0;
    return `engine1 +${e.wins} =${e.draws} -${e.losses} score ${(100 * score).toFixed(1)}% ` +
        `± ${(100 * margin).toFixed(1)}% elo ${EloOf(score)} [${EloOf(score - margin)}, ${
            EloOf(score + margin)}]`;
}

function RecordResult(stats, game, record) {
    const result = record.outcome.result;
    const whiteStats = stats.engines[game.whiteSlot];
    const blackStats = stats.engines[1 - game.whiteSlot];
    if (result === '1-0') {
        whiteStats.wins++;
        blackStats.losses++;
    } else if (result === '0-1') {
        whiteStats.losses++;
        blackStats.wins++;
    } else {
        whiteStats.draws++;
        blackStats.draws++;
    }
    stats.games++;
    stats.plies += game.moves.length;
    console.log(`game ${game.number}/${game.config.games} ${record.white} - ${record.black}: ${
        result} {${record.outcome.reason}} plies ${game.moves.length} | ${ScoreLine(stats)}`);
}

function PrintSummary(stats, names) {
    const plies = stats.games ? stats.plies / stats.games : 0;
    const lines = [
        '',
        `games ${stats.games}, average moves per game ${(plies / 2).toFixed(1)} (${
            plies.toFixed(1)} plies)`
    ];
    lines.push(ScoreLine(stats));
    for (const slot of [0, 1]) {
        const e = stats.engines[slot];
        lines.push(`engine${slot + 1} ${names[slot]}: wins ${e.wins} draws ${e.draws} losses ${
            e.losses} | illegal moves ${e.illegal}, time losses ${e.timeLosses}, time overruns ${
            e.overruns}, crashes ${e.crashes}, hangs ${e.hangs}, moves without a line ${
            e.movesWithoutLine}, protocol warnings ${e.warnings}`);
    }
    console.log(lines.join('\n'));
}

function MatchIsClean(stats) {
    return stats.engines.every((e) => e.illegal + e.timeLosses + e.crashes + e.hangs === 0);
}

// ---------------------------------------------------------------- match

async function RunMatch(config, openings) {
    const stats = {games: 0, plies: 0, engines: [NewEngineStats(), NewEngineStats()]};
    const names = config.engines.map((command) => path.basename(command.trim().split(/\s+/)[0]));
    let nextGame = 0;
    const worker = async () => {
        const pool = [null, null];
        while (nextGame < config.games) {
            const index = nextGame++;
            const game = {
                number: index + 1,
                config,
                stats,
                fen: openings[Math.floor(index / 2) % openings.length],
                whiteSlot: index % 2,
                moves: [],
            };
            const record = await PlayGame(game, pool);
            names[0] = record.names[0];
            names[1] = record.names[1];
            RecordResult(stats, game, record);
            if (config.pgn) {
                fs.appendFileSync(config.pgn, PgnText(game, record));
            }
        }
        await Promise.all(pool.map(StopEngine));
    };
    const workers = [];
    for (let i = 0; i < Math.min(config.concurrency, config.games); i++) {
        workers.push(worker());
    }
    await Promise.all(workers);
    PrintSummary(stats, names);
    return stats;
}

async function Main() {
    let config;
    try {
        config = ParseArgs(process.argv.slice(2));
        if (config.help) {
            process.stdout.write(HELP_TEXT);
            return 0;
        }
    } catch (error) {
        console.error(`match: ${error.message}`);
        return 2;
    }
    let openings;
    try {
        openings = LoadOpenings(config.openings);
    } catch (error) {
        console.error(`match: ${error.message}`);
        return 2;
    }
    const stats = await RunMatch(config, openings);
    return MatchIsClean(stats) ? 0 : 1;
}

module.exports = {
    ParseTimeControl,
    ParseOption,
    ParseArgs,
    LoadOpenings,
    IsUciOutputLine,
    LegalMoveTexts,
    AdjudicatePosition,
    RunMatch,
    MatchIsClean,
};

if (require.main === module) {
    Main().then(
        (code) => {
            process.exitCode = code;
        },
        (error) => {
            console.error(`match: ${error.stack || error}`);
            process.exitCode = 2;
        });
}
