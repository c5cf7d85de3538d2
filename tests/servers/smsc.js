// A test SMSC on the npm package "smpp". It records every PDU it receives (one JSON line
// each, with the raw octets in hex) and behaves by the system_id of the bind:
//   refuse      bind answered with command_status 14 (ESME_RINVPASWD)
//   silent      bind never answered
//   nack        bind answered with generic_nack
//   slowsubmit  submit_sm answered after 3 s
//   enquire     sends enquire_link before answering submit_sm (after its response)
//   nacksubmit  submit_sm answered with generic_nack
//   refusesubmit submit_sm answered with command_status 11 (ESME_RINVDSTADR)
//   closemid    half a PDU header sent for submit_sm, then the connection closed
//   absurd      a PDU header claiming 4 GB sent for submit_sm
//   anything else: every request accepted.
const fs = require('fs');
const smpp = require('smpp');
const [, , stateDir] = process.argv;
const log = stateDir + '/records.jsonl';

const record = (conn, pdu, raw) => {
    const o = {conn, command: pdu.command, command_id: pdu.command_id, sequence_number: pdu.sequence_number,
               raw: raw ? raw.toString('hex') : ''};
    for (const k of ['system_id', 'password', 'system_type', 'interface_version', 'addr_ton', 'addr_npi',
                     'address_range', 'source_addr_ton', 'source_addr_npi', 'source_addr', 'dest_addr_ton',
                     'dest_addr_npi', 'destination_addr', 'registered_delivery', 'data_coding']) {
        if (pdu[k] !== undefined) o[k] = pdu[k];
    }
    fs.appendFileSync(log, JSON.stringify(o) + '\n');
};

let connNo = 0;
const server = smpp.createServer(session => {
    const conn = ++connNo;
    let mode = '';
    // Capture the octets of each PDU as the session reads them.
    const sock = session.socket;
    const read = sock.read.bind(sock);
    let pending = [];
    sock.read = n => {
        const b = read(n);
        if (b) pending.push(b);
        return b;
    };
    session.on('pdu', pdu => {
        const raw = Buffer.concat(pending);
        pending = [];
        record(conn, pdu, raw);
    });
    session.on('error', () => {});
    session.on('bind_transmitter', pdu => {
        mode = pdu.system_id;
        if (mode === 'refuse') session.send(pdu.response({command_status: 14}));
        else if (mode === 'silent') return;
        else if (mode === 'nack') session.send(new smpp.PDU('generic_nack', {sequence_number: pdu.sequence_number}));
        else session.send(pdu.response({system_id: 'testsmsc'}));
    });
    let msgNo = 0;
    session.on('submit_sm', pdu => {
        if (mode === 'slowsubmit') {
            setTimeout(() => session.send(pdu.response({message_id: 'late'})), 3000);
        } else if (mode === 'enquire') {
            session.enquire_link({sequence_number: 77}, () => session.send(pdu.response({message_id: 'after-enquire'})));
        } else if (mode === 'nacksubmit') {
            session.send(new smpp.PDU('generic_nack', {sequence_number: pdu.sequence_number}));
        } else if (mode === 'refusesubmit') {
            session.send(pdu.response({command_status: 11}));
        } else if (mode === 'closemid') {
            sock.write(Buffer.from([0, 0, 0, 40, 0x80, 0]), () => sock.destroy());
        } else if (mode === 'absurd') {
            sock.write(Buffer.from('fffffff080000004000000000000000100', 'hex'));
        } else {
            session.send(pdu.response({message_id: 'msg-' + (++msgNo)}));
        }
    });
    session.on('unbind', pdu => {
        session.send(pdu.response());
    });
    session.on('enquire_link', pdu => session.send(pdu.response()));
});
server.listen(0, '127.0.0.1', () => {
    fs.writeFileSync(stateDir + '/port.tmp', String(server.address().port));
    fs.renameSync(stateDir + '/port.tmp', stateDir + '/port');
});
